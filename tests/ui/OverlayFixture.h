#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <optional>
#include <vector>

#include "support/FakeScreenPlatform.h"
#include "ui/overlay/OverlayWindowController.h"
#include "ui/overlay/SelectionView.h"
#include "ui/platform/x11/X11Backend.h"

namespace tavelin::testing_support {

// An overlay shown over the two offscreen screens, with synthetic screenshots, recording the
// callbacks it makes.
class OverlayFixture : public testing::Test {
protected:
    void SetUp() override { open({}); }
    void TearDown() override {
        controller_.reset();
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    }

    void open(const std::vector<std::string>& arguments) {
        controller_ = std::make_unique<OverlayWindowController>(platform_);
        std::vector<std::string> argv = arguments;
        argv.insert(argv.begin(), "tavelin-capture");
        const ScreenshotMap shots =
            FakeScreenPlatform(platform_.screens()).captureAllDisplays().value();
        controller_->show(
            shots, CaptureArgs::parse(argv, [](std::string_view) {}),
            [this] { events_.push_back("cancel"); },
            [this](const Rect& r) {
                events_.push_back("capture");
                captured_ = r;
            });
        settle();
    }

    // Runs the event loop until nothing more is queued.
    static void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }

    SelectionView& view(size_t index) { return *controller_->windows.at(index)->content(); }
    SelectionState& state() { return *controller_->selectionState; }
    QWindow* primaryWindow() { return controller_->windows.front()->windowHandle(); }

    X11Backend platform_;
    std::unique_ptr<OverlayWindowController> controller_;
    std::vector<std::string> events_;
    std::optional<Rect> captured_;
};

}  // namespace tavelin::testing_support
