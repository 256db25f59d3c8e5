#include <QPushButton>

#include "OverlayFixture.h"
#include "ui/overlay/OverlayToolbar.h"

namespace tavelin {
namespace {

using Controller = testing_support::OverlayFixture;

TEST_F(Controller, OneWindowPerScreenCoveringItExactly) {
    ASSERT_EQ(controller_->windows.size(), 2u);
    EXPECT_EQ(controller_->windows[0]->geometry(), QRect(0, 0, 1440, 900));
    EXPECT_EQ(controller_->windows[1]->geometry(), QRect(1440, 0, 1920, 1080));
    EXPECT_EQ(view(0).screenFrame(), (Rect{0, 0, 1440, 900}));
    EXPECT_EQ(view(1).screenFrame(), (Rect{1440, -180, 1920, 1080}));
    for (const auto& window : controller_->windows) {
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->windowFlags() & Qt::X11BypassWindowManagerHint);
        EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    }
    EXPECT_TRUE(state().isCursorHidden);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
}

TEST_F(Controller, ToolbarOnlyOnThePrimaryScreenAndCaptureNeedsASelection) {
    ASSERT_NE(view(0).toolbar(), nullptr);
    EXPECT_EQ(view(1).toolbar(), nullptr);
    OverlayToolbar& toolbar = *view(0).toolbar();
    EXPECT_FALSE(toolbar.captureButton()->isEnabled());
    // 40 points above the bottom edge, centred.
    EXPECT_EQ(toolbar.geometry().bottom() + 1, 900 - 40);
    EXPECT_NEAR(toolbar.geometry().center().x(), 720, 1);

    state().selectedRect = Rect{100, 100, 200, 100};
    settle();
    EXPECT_TRUE(toolbar.captureButton()->isEnabled());
    toolbar.captureButton()->click();
    settle();
    EXPECT_EQ(events_, std::vector<std::string>{"capture"});
    EXPECT_EQ(captured_, (Rect{100, 100, 200, 100}));
}

TEST_F(Controller, DismissClosesEverythingThenReportsTwoTurnsLater) {
    std::vector<std::string> order;
    controller_->dismiss([&] { order.push_back("first"); });
    controller_->dismiss([&] { order.push_back("second"); });
    QCoreApplication::processEvents();  // turn 1: the first tears down, the second finds nothing
    EXPECT_TRUE(controller_->windows.empty());
    EXPECT_TRUE(controller_->isDismissing);
    EXPECT_EQ(order, std::vector<std::string>{"second"});
    EXPECT_FALSE(state().isCursorHidden);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "hidden once, shown once";
    QCoreApplication::processEvents();  // turn 2
    EXPECT_EQ(order, (std::vector<std::string>{"second", "first"}));
    EXPECT_FALSE(controller_->isDismissing);
}

TEST_F(Controller, InitialSelectionAndHistory) {
    const std::string history =
        R"([{"selectionPoints":{"x":10,"y":20,"width":100,"height":50},"displayInfo":{"id":"x","platform":"linux"}},)"
        R"({"selectionPoints":{"x":0,"y":0,"width":5000,"height":5000},"displayInfo":{"id":"","platform":"linux"}}])";
    open({"--selectionPoints", "10,10,200,100", "--frameHistory", history});
    EXPECT_EQ(state().selectedRect.get(), (Rect{10, 790, 200, 100}));
    controller_->cycleHistory(true);  // unknown display: centred on the primary screen
    EXPECT_EQ(state().selectedRect.get(), (Rect{670, 425, 100, 50}));
    controller_->cycleHistory(true);  // too large: shrunk inside the margins and centred
    EXPECT_EQ(state().selectedRect.get(), (Rect{20, 20, 1400, 860}));
    EXPECT_EQ(controller_->history.frameHistoryIndex, 1);
}

}  // namespace
}  // namespace tavelin
