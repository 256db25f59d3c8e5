#include <gtest/gtest.h>

#include "core/selection/SelectionState.h"
#include "support/RecordingCursor.h"

namespace tavelin {
namespace {

class Drag : public testing::Test {
protected:
    // One drag as the views report it: begin at `from`, one change at `to`, end.
    void drag(Point from, Point to) {
        state_.beginDrag(from);
        if (state_.isResizing) {
            state_.resizeSelection(to);
        } else {
            state_.updateDrag(to);
        }
        state_.endDrag();
    }

    testing_support::RecordingCursor cursor_;
    SelectionState state_{{Rect{0, 0, 1440, 900}}, std::nullopt, cursor_};
};

TEST_F(Drag, ResizeWithEveryHandleStopsShortOfTheOppositeEdge) {
    const Rect s{100, 100, 200, 150};  // minX 100, maxX 300, minY 100, maxY 250
    const struct {
        Point from, to;
        ResizeHandle handle;
        Rect expected;
    } cases[] = {
        {{100, 250}, {400, 250}, ResizeHandle::topLeft, {280, 100, 20, 150}},
        {{200, 100}, {200, 400}, ResizeHandle::bottom, {100, 230, 200, 20}},
        {{100, 250}, {90, 260}, ResizeHandle::topLeft, {90, 100, 210, 160}},
        {{200, 250}, {200, 300}, ResizeHandle::top, {100, 100, 200, 200}},
        {{200, 250}, {200, 0}, ResizeHandle::top, {100, 100, 200, 20}},
        {{300, 250}, {350, 200}, ResizeHandle::topRight, {100, 100, 250, 100}},
        {{300, 175}, {0, 175}, ResizeHandle::right, {100, 100, 20, 150}},
        {{300, 100}, {320, 90}, ResizeHandle::bottomRight, {100, 90, 220, 160}},
        {{100, 100}, {110, 120}, ResizeHandle::bottomLeft, {110, 120, 190, 130}},
        {{100, 175}, {50, 175}, ResizeHandle::left, {50, 100, 250, 150}},
        {{100, 175}, {900, 175}, ResizeHandle::left, {280, 100, 20, 150}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "handle " << static_cast<int>(c.handle) << " to "
                                        << c.to.x << "," << c.to.y);
        state_.selectedRect = s;
        state_.beginDrag(c.from);
        ASSERT_TRUE(state_.isResizing);
        EXPECT_EQ(state_.currentResizeHandle, c.handle);
        state_.resizeSelection(c.to);
        EXPECT_EQ(state_.selectedRect.get(), c.expected) << "committed live";
        EXPECT_EQ(state_.displayedSelection(), c.expected);
        state_.endDrag();
        EXPECT_EQ(state_.selectedRect.get(), c.expected);
        EXPECT_FALSE(state_.isResizing);
        EXPECT_EQ(state_.currentResizeHandle, ResizeHandle::none);
        EXPECT_FALSE(state_.resizeStartRect);
    }
}

TEST_F(Drag, DrawingBackwardsMovingAndClickingAway) {
    drag({300, 200}, {100, 50});
    EXPECT_EQ(state_.selectedRect.get(), (Rect{100, 50, 200, 150}));

    state_.selectedRect = Rect{100, 100, 200, 150};
    state_.beginDrag({150, 120});
    EXPECT_TRUE(state_.isDraggingSelection);
    state_.updateDrag({250, 170});
    EXPECT_EQ(state_.displayedSelection(), (Rect{200, 150, 200, 150}));
    EXPECT_EQ(state_.selectedRect.get(), (Rect{100, 100, 200, 150})) << "not committed yet";
    state_.endDrag();
    EXPECT_EQ(state_.selectedRect.get(), (Rect{200, 150, 200, 150}));
    EXPECT_EQ(state_.dragOffset.get(), Size{});

    // A press and release outside the selection, without moving, leaves no selection.
    state_.beginDrag({1000, 800});
    state_.updateDrag({1000, 800});
    state_.endDrag();
    EXPECT_FALSE(state_.selectedRect.get());
    EXPECT_FALSE(state_.dragStart.get());
}

TEST_F(Drag, NudgeOnlyWhenIdle) {
    state_.nudgeSelection(5, 5);
    EXPECT_FALSE(state_.selectedRect.get());
    state_.selectedRect = Rect{100, 100, 200, 150};
    state_.nudgeSelection(-10, 1);
    EXPECT_EQ(state_.selectedRect.get(), (Rect{90, 101, 200, 150}));
    state_.nudgeSelection(-1000, 0);
    EXPECT_EQ(state_.selectedRect.get(), (Rect{0, 101, 200, 150})) << "kept on the screen";

    for (const Point press : {Point{50, 150}, Point{0, 180}}) {  // inside; on the left edge
        state_.beginDrag(press);
        state_.nudgeSelection(10, 10);
        EXPECT_EQ(state_.selectedRect.get(), (Rect{0, 101, 200, 150}));
        state_.endDrag();
    }
}

TEST_F(Drag, ObserversHearEveryAssignmentBeforeTheValueIsStored) {
    std::vector<std::optional<Rect>> seenBefore;
    state_.observers.add([&] { seenBefore.push_back(state_.selectedRect.get()); });
    state_.selectedRect = Rect{1, 2, 30, 40};
    state_.selectedRect = Rect{1, 2, 30, 40};  // unchanged, still heard
    ASSERT_EQ(seenBefore.size(), 2u);
    EXPECT_FALSE(seenBefore[0]);
    EXPECT_EQ(seenBefore[1], (Rect{1, 2, 30, 40}));
    const size_t before = seenBefore.size();
    state_.isCursorHidden = true;  // a plain field
    state_.resizeStartRect = Rect{};
    EXPECT_EQ(seenBefore.size(), before);
}

TEST_F(Drag, HoverAndCursorStayBalanced) {
    state_.selectedRect = Rect{100, 100, 200, 150};
    state_.updateHover({700, 700});
    EXPECT_FALSE(state_.isOverSelection);
    state_.updateCursor();
    state_.updateCursor();
    EXPECT_EQ(cursor_.calls, std::vector<std::string>{"hide"});

    state_.updateHover({150, 150});
    EXPECT_TRUE(state_.isOverSelection);
    state_.updateCursor();
    EXPECT_EQ(cursor_.lastShape, CursorShape::openHand);
    state_.updateHover({300, 250});
    EXPECT_EQ(state_.currentResizeHandle, ResizeHandle::topRight);
    state_.updateCursor();
    EXPECT_EQ(cursor_.lastShape, CursorShape::diagonalSlash);
    EXPECT_EQ(std::count(cursor_.calls.begin(), cursor_.calls.end(), "show"), 1);

    state_.isOverToolbar = true;
    state_.updateHover({700, 700});
    state_.updateCursor();
    EXPECT_EQ(cursor_.lastShape, CursorShape::arrow);
    EXPECT_FALSE(state_.isCursorHidden);
}

TEST(CursorFor, EveryHandle) {
    using H = ResizeHandle;
    using C = CursorShape;
    const std::pair<H, C> cases[] = {
        {H::topLeft, C::diagonalBackslash},
        {H::bottomRight, C::diagonalBackslash},
        {H::topRight, C::diagonalSlash},
        {H::bottomLeft, C::diagonalSlash},
        {H::top, C::resizeUpDown},
        {H::bottom, C::resizeUpDown},
        {H::left, C::resizeLeftRight},
        {H::right, C::resizeLeftRight},
        {H::none, C::arrow},
    };
    for (const auto& [handle, shape] : cases) EXPECT_EQ(SelectionState::cursorFor(handle), shape);
}

}  // namespace
}  // namespace tavelin
