#include <gtest/gtest.h>

#include <limits>

#include "core/selection/SelectionState.h"
#include "support/RecordingCursor.h"

namespace tavelin {
namespace {

const Rect kPrimary{0, 0, 1440, 900};
const Rect kSecond{1440, -180, 1920, 1080};

class Geometry : public testing::Test {
protected:
    testing_support::RecordingCursor cursor_;
    SelectionState oneScreen_{{kPrimary}, std::nullopt, cursor_};
    SelectionState twoScreens_{{kPrimary, kSecond}, std::nullopt, cursor_};
};

TEST_F(Geometry, HandleHitTesting) {
    const Rect selection{100, 100, 200, 150};
    const struct {
        Point p;
        ResizeHandle expected;
    } cases[] = {
        {{105, 245}, ResizeHandle::topLeft},     {{200, 250}, ResizeHandle::top},
        {{295, 105}, ResizeHandle::bottomRight}, {{90, 175}, ResizeHandle::left},
        {{89.9, 175}, ResizeHandle::none},       {{200, 175}, ResizeHandle::none},
        {{200, 259}, ResizeHandle::top},         {{200, 261}, ResizeHandle::none},
        {{310, 260}, ResizeHandle::topRight},    {{92, 92}, ResizeHandle::bottomLeft},
        {{310, 175}, ResizeHandle::right},       {{200, 91}, ResizeHandle::bottom},
        {{311, 260}, ResizeHandle::none},
    };
    for (const auto& [p, expected] : cases) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        EXPECT_EQ(SelectionState::handleAt(p, selection), expected);
    }
    // On a small selection every edge is near: the top corners win, and the left one first.
    EXPECT_EQ(SelectionState::handleAt({107, 107}, {100, 100, 15, 15}), ResizeHandle::topLeft);
    EXPECT_EQ(SelectionState::handleAt({108, 106}, {100, 100, 15, 15}), ResizeHandle::topLeft);
}

TEST_F(Geometry, DisplayBoundsIsTheUnionOrAFallback) {
    EXPECT_EQ(twoScreens_.displayBounds, (Rect{0, -180, 3360, 1080}));
    SelectionState none({}, Rect{0, 0, 800, 600}, cursor_);
    EXPECT_EQ(none.displayBounds, (Rect{0, 0, 800, 600}));
    SelectionState zeroSized({Rect{5, 5, 0, 0}}, std::nullopt, cursor_);
    EXPECT_EQ(zeroSized.displayBounds, (Rect{0, 0, 1920, 1080}));
}

TEST_F(Geometry, ConstrainToScreensWithTwoScreens) {
    const struct {
        const char* label;
        Rect in;
        Rect out;
    } cases[] = {
        {"inside one screen", {100, 100, 300, 300}, {100, 100, 300, 300}},
        {"below the first screen, where nothing shows",
         {1200, -150, 300, 100},
         {1440, -150, 300, 100}},
        {"covered by both screens together", {1300, 800, 300, 300}, {1300, 600, 300, 300}},
        {"left of everything", {-500, 100, 200, 100}, {0, 100, 200, 100}},
        {"wider than the desktop", {100, 0, 4000, 100}, {3360 - 4000, 0, 4000, 100}},
        {"far off: pulled into the desktop", {5000, 5000, 100, 100}, {3260, 800, 100, 100}},
        {"in the uncovered corner: onto the nearest screen", {0, -180, 100, 100}, {0, 0, 100, 100}},
        {"drawn backwards", {400, 300, -100, -100}, {300, 200, 100, 100}},
    };
    for (const auto& [label, in, out] : cases) {
        SCOPED_TRACE(label);
        EXPECT_EQ(twoScreens_.constrainToScreens(in), out);
    }
    SelectionState noScreens({}, std::nullopt, cursor_);
    EXPECT_EQ(noScreens.constrainToScreens({-9, -9, 5, 5}), (Rect{-9, -9, 5, 5}));
}

TEST_F(Geometry, FittedSelection) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    // None of these covers a point of the screens, so none is a selection.
    const Rect unusable[] = {
        {10, 10, 0, 50},
        {10, 10, 50, -5},
        {nan, nan, nan, nan},
        {10, 10, nan, 50},
        {nan, 10, 50, 50},
        {10, 10, inf, 50},
        {-inf, 10, 50, 50},
        // Its height is lost beside an origin of 800.
        {1e-320, 800, 1e-320, 1e-320},
        // Placed on the screen from below its bottom edge, its height is lost there too.
        {10, -2000, 50, 1e-320},
    };
    for (const Rect& r : unusable) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y << "," << r.width << "," << r.height);
        EXPECT_FALSE(twoScreens_.fittedSelection(r));
        EXPECT_FALSE(oneScreen_.fittedSelection(r));
    }
    // Tiny, but a selection: a pixel of a scale-4 screen.
    EXPECT_EQ(oneScreen_.fittedSelection({10, 10, 0.25, 0.25}), (Rect{10, 10, 0.25, 0.25}));
    // Too large for every screen: the larger screen's size, then clamped into the desktop and
    // into the screen it overlaps most.
    EXPECT_EQ(twoScreens_.fittedSelection({0, 0, 2500, 1200}), (Rect{-480, -180, 1920, 1080}));
    EXPECT_EQ(twoScreens_.fittedSelection({2000, 0, 2500, 1200}), (Rect{1440, -180, 1920, 1080}));
    EXPECT_EQ(oneScreen_.fittedSelection({100, 100, 300, 200}), (Rect{100, 100, 300, 200}));
}

}  // namespace
}  // namespace tavelin
