#include <gtest/gtest.h>

#include "core/overlay/OverlayLayout.h"

namespace tavelin {
namespace {

const Size kView{1440, 900};

TEST(OverlayLayout, SelectionInEachView) {
    // Primary 1440x900 at the origin, second 1920x1080 to its right with its bottom at 0.
    const Rect selection{1500, 900, 200, 100};
    EXPECT_EQ(globalToView(selection, {1440, 0, 1920, 1080}, 1080), (Rect{60, 80, 200, 100}));
    EXPECT_EQ(globalToView(selection, {0, 0, 1440, 900}, 900), (Rect{1500, -100, 200, 100}));
}

TEST(OverlayLayout, ScrimCutoutIsTheVisiblePartOnly) {
    EXPECT_EQ(scrimCutout(Rect{1400, 800, 100, 200}, kView), (Rect{1400, 800, 40, 100}));
    EXPECT_FALSE(scrimCutout(Rect{1500, -100, 200, 100}, kView));
    EXPECT_FALSE(scrimCutout(Rect{10, 10, 0, 50}, kView));
    EXPECT_FALSE(scrimCutout(std::nullopt, kView));
}

TEST(OverlayLayout, SizeLabelNeedsRoomAndTruncates) {
    const Rect full{0, 0, 200.9, 100.2};
    EXPECT_EQ(sizeLabelText({0, 0, 61, 31}, full), "200 \u00D7 100");
    EXPECT_FALSE(sizeLabelText({0, 0, 60, 100}, full));
    EXPECT_FALSE(sizeLabelText({0, 0, 200, 30}, full));
    EXPECT_FALSE(sizeLabelText({0, 0, 200, 100}, std::nullopt));
}

TEST(OverlayLayout, CoordinateLabel) {
    EXPECT_EQ(coordinateLabelText({-12.7, 899.9}), "x: -12, y: 899");
    const struct {
        Point position;
        Point center;
    } cases[] = {
        {{1300, 100}, {1380, 132}},
        {{1301, 100}, {1231, 132}},  // would pass the right edge: flipped left
        {{100, 856}, {180, 888}},
        {{100, 857}, {180, 835}},  // would pass the bottom edge: flipped up
    };
    for (const auto& [position, center] : cases) {
        SCOPED_TRACE(testing::Message() << position.x << "," << position.y);
        EXPECT_EQ(coordinateLabelCenter(position, kView), center);
    }
}

}  // namespace
}  // namespace tavelin
