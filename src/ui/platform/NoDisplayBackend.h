#pragma once

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
    const char* toolkitPlatform() const override { return nullptr; }
    void showOverlayWindow(QWidget&, QScreen&) const override {}
    bool takeKeyboard(QWindow&) const override { return false; }
};

}  // namespace tavelin
