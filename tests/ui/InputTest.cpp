#include "OverlayFixture.h"

namespace tavelin {
namespace {

using Input = testing_support::OverlayFixture;

// Local points of the primary view (1440x900): global y = 900 - local y.
TEST_F(Input, DrawMoveAndResizeThroughTheView) {
    SelectionView& primary = view(0);
    QTest::mousePress(&primary, Qt::LeftButton, {}, QPoint(100, 800));
    QTest::mouseMove(&primary, QPoint(200, 700));
    QTest::mouseMove(&primary, QPoint(300, 650));
    EXPECT_EQ(state().displayedSelection(), (Rect{100, 100, 200, 150})) << "shown while drawing";
    QTest::mouseRelease(&primary, Qt::LeftButton, {}, QPoint(300, 650));
    settle();
    EXPECT_EQ(state().selectedRect.get(), (Rect{100, 100, 200, 150}));

    // Move: press inside, drag by (+50, -20 local = +20 global).
    QTest::mousePress(&primary, Qt::LeftButton, {}, QPoint(150, 750));
    EXPECT_TRUE(state().isDraggingSelection);
    EXPECT_EQ(primary.cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(&primary, QPoint(200, 730));
    QTest::mouseRelease(&primary, Qt::LeftButton, {}, QPoint(200, 730));
    EXPECT_EQ(state().selectedRect.get(), (Rect{150, 120, 200, 150}));

    // Resize by the right edge (global x 350).
    QTest::mousePress(&primary, Qt::LeftButton, {}, QPoint(352, 700));
    EXPECT_EQ(state().currentResizeHandle, ResizeHandle::right);
    QTest::mouseMove(&primary, QPoint(452, 600));
    QTest::mouseRelease(&primary, Qt::LeftButton, {}, QPoint(452, 600));
    EXPECT_EQ(state().selectedRect.get(), (Rect{150, 120, 300, 150}));

    // A click without movement outside removes it.
    QTest::mouseClick(&primary, Qt::LeftButton, {}, QPoint(1000, 100));
    EXPECT_FALSE(state().selectedRect.get());
    EXPECT_TRUE(events_.empty());
}

TEST_F(Input, ADragThatLeavesItsScreenContinuesOnTheNext) {
    SelectionView& primary = view(0);
    QTest::mousePress(&primary, Qt::LeftButton, {}, QPoint(1400, 100));
    // The pointer grab keeps reporting to the first view; positions beyond it are on B.
    QTest::mouseMove(&primary, QPoint(1600, 300));
    QTest::mouseRelease(&primary, Qt::LeftButton, {}, QPoint(1600, 300));
    EXPECT_EQ(state().selectedRect.get(), (Rect{1400, 600, 200, 200}));
}

TEST_F(Input, DoubleClickInsideConfirmsOutsideDoesNot) {
    state().selectedRect = Rect{100, 100, 200, 150};
    QTest::mouseDClick(primaryWindow(), Qt::LeftButton, {}, QPoint(1000, 100));
    settle();
    EXPECT_TRUE(events_.empty());
    EXPECT_FALSE(state().selectedRect.get());

    state().selectedRect = Rect{100, 100, 200, 150};
    QTest::mouseDClick(primaryWindow(), Qt::LeftButton, {}, QPoint(200, 700));
    settle();
    EXPECT_EQ(events_, std::vector<std::string>{"capture"});
    EXPECT_EQ(captured_, (Rect{100, 100, 200, 150}));
    EXPECT_TRUE(controller_->windows.empty()) << "windows are gone before the decision arrives";
}

TEST_F(Input, HoverShowsTheCursorOverTheSelectionOnly) {
    SelectionView& primary = view(0);
    state().selectedRect = Rect{100, 100, 200, 150};
    QTest::mouseMove(&primary, QPoint(700, 300));
    EXPECT_FALSE(state().isOverSelection);
    EXPECT_EQ(state().mouseScreenPosition.get(), (Point{700, 600}));
    EXPECT_TRUE(state().isCursorHidden);
    QTest::mouseMove(&primary, QPoint(200, 700));
    EXPECT_TRUE(state().isOverSelection);
    EXPECT_FALSE(state().isCursorHidden);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(primary.cursor().shape(), Qt::OpenHandCursor);
    QTest::mouseMove(&primary, QPoint(100, 700));
    EXPECT_EQ(primary.cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(&primary, QPoint(700, 300));
    EXPECT_TRUE(state().isCursorHidden);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
}

}  // namespace
}  // namespace tavelin
