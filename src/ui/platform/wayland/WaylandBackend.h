#pragma once

#include <future>
#include <optional>

#include "platform/wayland/WaylandPlatform.h"
#include "ui/platform/PlatformBackend.h"

namespace tavelin {

class LayerShellOverlay;
class WaylandCurtain;

// Where a Wayland session's pixels and screenshot permission come from.
enum class WaylandPixelSource {
    screencopy,  // the compositor's capture protocol (wlroots compositors)
    kwin,        // KWin's screenshot interface, else the portal (KDE Plasma)
    mutter,      // GNOME's screen cast where the portal's permission allows, else the portal
    portal,      // the desktop portal
};

// A Wayland session. Screens come from a connection of our own, pixels from the compositor's
// capture protocol, KWin, GNOME's screen cast or the desktop portal, chosen once at start. The
// toolkit's Wayland platform shows one window per output: a layer surface where the compositor
// offers the layer shell, else a fullscreen window.
class WaylandBackend final : public PlatformBackend {
public:
    explicit WaylandBackend(WaylandCompositorOffer offer);
    ~WaylandBackend() override;

    ScreenList screens() const override;
    bool canRecordScreen() const override;
    bool requestScreenRecording() const override;
    Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const override;
    std::string lostConnectionText() const override {
        return "Lost the connection to the Wayland compositor";
    }
    void prepareToolkit(bool windows) override;
    std::unique_ptr<QCoreApplication> startToolkit(int& argc, char** argv,
                                                   bool windows) override;
    // KWin and the portal answer through the toolkit's D-Bus connection.
    bool capturesBeforeToolkit() const override {
        return source_ == WaylandPixelSource::screencopy || source_ == WaylandPixelSource::mutter;
    }
    void showOverlayWindow(QWidget& window, QScreen& screen) const override;
    void overlayDrawn(const std::vector<QWindow*>& windows) const override;
    bool takeKeyboard(QWindow& window) const override;
    std::string lostConnectionMessage() const override { return "The Wayland connection broke"; }

private:
    WaylandCompositorOffer offer_;
    std::optional<WaylandPixelSource> source_;  // undecided until the bus can be asked
    std::unique_ptr<LayerShellOverlay> layerShell_;
    // The captured screens shown on the compositor's layer shell before the toolkit's windows
    // are up; made by the capture, given way once the windows have drawn.
    mutable std::unique_ptr<WaylandCurtain> curtain_;
    // The portal, which a failed screen cast falls back to, needs the toolkit's connection.
    std::promise<void> toolkitStarted_;
    std::shared_future<void> toolkitUp_ = toolkitStarted_.get_future().share();
};

}  // namespace tavelin
