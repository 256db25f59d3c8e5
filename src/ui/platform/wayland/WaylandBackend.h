#pragma once

#include "platform/wayland/WaylandPlatform.h"
#include "ui/platform/PlatformBackend.h"

namespace tavelin {

class LayerShellOverlay;

// A Wayland session on a compositor that offers a capture protocol (wlroots compositors).
// Screens and pixels come from a connection of our own. The toolkit's Wayland platform shows one
// window per output: a layer surface where the compositor offers the layer shell, else a
// fullscreen window.
class WaylandBackend final : public PlatformBackend {
public:
    explicit WaylandBackend(WaylandCompositorOffer offer);
    ~WaylandBackend() override;

    ScreenList screens() const override;
    bool canRecordScreen() const override;
    Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const override;
    std::string lostConnectionText() const override {
        return "Lost the connection to the Wayland compositor";
    }
    std::unique_ptr<QCoreApplication> startToolkit(int& argc, char** argv) override;
    void showOverlayWindow(QWidget& window, QScreen& screen) const override;
    bool takeKeyboard(QWindow& window) const override;
    std::string lostConnectionMessage() const override { return "The Wayland connection broke"; }

private:
    WaylandCompositorOffer offer_;
    std::unique_ptr<LayerShellOverlay> layerShell_;
};

}  // namespace tavelin
