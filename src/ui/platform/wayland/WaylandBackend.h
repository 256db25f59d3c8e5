#pragma once

#include "ui/platform/PlatformBackend.h"

namespace tavelin {

// A Wayland session on a compositor that offers a capture protocol (wlroots compositors).
// Screens and pixels come from a connection of our own; the toolkit's Wayland platform shows
// one fullscreen window per output.
class WaylandBackend final : public PlatformBackend {
public:
    ScreenList screens() const override;
    bool canRecordScreen() const override;
    Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const override;
    std::string lostConnectionText() const override {
        return "Lost the connection to the Wayland compositor";
    }
    const char* toolkitPlatform() const override { return "wayland"; }
    void showOverlayWindow(QWidget& window, QScreen& screen) const override;
    bool takeKeyboard(QWindow& window) const override;
    std::string lostConnectionMessage() const override { return "The Wayland connection broke"; }
};

}  // namespace tavelin
