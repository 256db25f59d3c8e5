#pragma once

#include <QCoreApplication>

#include "ui/platform/PlatformBackend.h"

namespace tavelin {

// No reachable display: nothing can be seen or recorded, and no window can be shown.
class NoDisplayBackend final : public PlatformBackend {
public:
    ScreenList screens() const override { return {}; }
    bool canRecordScreen() const override { return false; }
    Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const override {
        return CaptureFailure(CaptureError::permissionDenied);
    }
    std::string lostConnectionText() const override { return "Lost the connection to the display"; }
    // The toolkit's window plugins abort the process when they cannot connect. The run still
    // needs its event loop and its record; the permission probe then reports the missing
    // display as a missing permission.
    std::unique_ptr<QCoreApplication> startToolkit(int& argc, char** argv, bool) override {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    void showOverlayWindow(QWidget&, QScreen&) const override {}
    bool takeKeyboard(QWindow&) const override { return false; }
};

}  // namespace tavelin
