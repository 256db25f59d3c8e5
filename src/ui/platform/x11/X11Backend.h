#pragma once

#include "ui/platform/PlatformBackend.h"

namespace tavelin {

// An X11 session. Screens as the toolkit lays them out (logical frames, scale factors, primary
// first), named and identified by RandR; pixels straight from the X server; overlay windows
// that bypass the window manager and grab the keyboard themselves.
class X11Backend final : public PlatformBackend {
public:
    ScreenList screens() const override;
    bool canRecordScreen() const override;
    Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const override;
    std::string lostConnectionText() const override {
        return "Lost the connection to the X server";
    }
    void prepareToolkit(bool windows) override;
    std::unique_ptr<QCoreApplication> startToolkit(int& argc, char** argv,
                                                   bool windows) override;
    void showOverlayWindow(QWidget& window, QScreen& screen) const override;
    bool takeKeyboard(QWindow& window) const override;
};

}  // namespace tavelin
