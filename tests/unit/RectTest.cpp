#include <gtest/gtest.h>

#include "core/geometry/Rect.h"

namespace tavelin {
namespace {

TEST(Rect, QueriesUseTheStandardisedForm) {
    const Rect flipped{100, 50, -40, -20};
    EXPECT_EQ(flipped.minX(), 60);
    EXPECT_EQ(flipped.maxX(), 100);
    EXPECT_EQ(flipped.minY(), 30);
    EXPECT_EQ(flipped.maxY(), 50);
    EXPECT_EQ(flipped.midX(), 80);
    EXPECT_EQ(flipped.absWidth(), 40);
    EXPECT_EQ(flipped.standardized(), (Rect{60, 30, 40, 20}));
}

TEST(Rect, ContainmentIsHalfOpen) {
    const Rect r{0, 0, 10, 10};
    const struct {
        Point p;
        bool inside;
    } cases[] = {
        {{0, 0}, true},   {{9.999, 9.999}, true}, {{10, 5}, false},
        {{5, 10}, false}, {{-0.001, 5}, false},
    };
    for (const auto& [p, inside] : cases) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_EQ(r.contains(p), inside);
    }
    EXPECT_TRUE((Rect{10, 10, -10, -10}).contains({0, 0}));
}

TEST(Rect, IntersectionIsNullUnlessTheRectanglesOverlap) {
    const Rect screen{0, 0, 1440, 900};
    const struct {
        Rect other;
        std::optional<Rect> expected;
    } cases[] = {
        {{1400, 800, 100, 200}, Rect{1400, 800, 40, 100}},
        {{1440, 0, 1920, 1080}, std::nullopt},  // shares only an edge
        {{2000, 0, 10, 10}, std::nullopt},
        {{1500, 100, -200, 100}, Rect{1300, 100, 140, 100}},
        {{100, 100, 0, 50}, Rect{100, 100, 0, 50}},  // zero width, inside
        {{-10, -10, 2000, 2000}, Rect{0, 0, 1440, 900}},
    };
    for (const auto& [other, expected] : cases) {
        SCOPED_TRACE(testing::Message() << other.x << "," << other.y << " " << other.width);
        EXPECT_EQ(screen.intersection(other), expected);
        EXPECT_EQ(other.intersection(screen), expected);
        EXPECT_EQ(screen.intersects(other), expected.has_value());
    }
}

TEST(Rect, UnionStartsFromTheNullRectangle) {
    std::optional<Rect> all;
    all = Rect::unite(all, {0, 0, 1440, 900});
    all = Rect::unite(all, {1440, -180, 1920, 1080});
    EXPECT_EQ(all, (Rect{0, -180, 3360, 1080}));
}

}  // namespace
}  // namespace tavelin
