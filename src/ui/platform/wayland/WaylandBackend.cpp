#include "WaylandBackend.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>

#include "CurtainHandOver.h"
#include "LayerShellOverlay.h"
#include "platform/wayland/WaylandCurtain.h"
#include "platform/gnome/MutterScreenCast.h"
#include "platform/kwin/KWinPlatform.h"
#include "platform/portal/PortalPlatform.h"
#include "ui/app/ToolkitMessages.h"

namespace tavelin {
namespace {

// A capture answered over the bus takes a moment; asking the user takes longer.
constexpr std::chrono::seconds kBusCaptureBound{5};
constexpr std::chrono::seconds kPortalQuestionBound{120};

// Set as the toolkit's shell, a name it has no plugin for: windows are then plain surfaces
// that take the layer-shell role from us. Qt 6.8 and later refuse to start without a shell
// unless told not to check for one.
constexpr char kNoToolkitShell[] = "none";

// The toolkit says it found no shell, which is what was asked of it.
bool aboutTheMissingShell(const char* category, const std::string& text) {
    return category && std::strcmp(category, "qt.qpa.wayland") == 0 &&
           (text.find("shell integration") != std::string::npos ||
            text.starts_with("Attempted to load the following shells"));
}

// The compositor's capture protocol where it offers one to us, else GNOME's screen cast, else
// KWin or the desktop portal, which only the toolkit's bus connection tells apart: undecided
// then. $TAVELIN_WAYLAND_CAPTURE ("screencopy", "mutter", "kwin" or "portal") forces one, to
// look into a desktop.
std::optional<WaylandPixelSource> pixelSourceFor(const WaylandCompositorOffer& compositor) {
    const char* forced = std::getenv("TAVELIN_WAYLAND_CAPTURE");
    if (forced && std::strcmp(forced, "portal") == 0) return WaylandPixelSource::portal;
    if (forced && std::strcmp(forced, "kwin") == 0) return WaylandPixelSource::kwin;
    if (forced && std::strcmp(forced, "mutter") == 0) return WaylandPixelSource::mutter;
    if (forced && std::strcmp(forced, "screencopy") == 0) return WaylandPixelSource::screencopy;
    if (compositor.screencopy) return WaylandPixelSource::screencopy;
    if (mutterScreenCastOffered()) return WaylandPixelSource::mutter;
    return std::nullopt;
}

}  // namespace

WaylandBackend::WaylandBackend(WaylandCompositorOffer offer)
    : offer_(offer), source_(pixelSourceFor(offer)) {}

WaylandBackend::~WaylandBackend() = default;

void WaylandBackend::prepareToolkit(bool windows) {
    if (!windows) return;
    qputenv("QT_QPA_PLATFORM", "wayland");
    // Frameless windows need no decorations; asking whether they could have them loads EGL and
    // the GL driver, about 100 ms, for windows that draw in shared memory.
    qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    if (offer_.layerShell && !LayerShellOverlay::kToolkitHasTheShell) {
        qputenv("QT_WAYLAND_SHELL_INTEGRATION", kNoToolkitShell);
        qputenv("QT_WAYLAND_DONT_CHECK_SHELL_INTEGRATION", "1");
        // The toolkit looks for its shell when it makes its first window.
        quietenToolkitMessages(aboutTheMissingShell);
    }
}

// An undecided pixel source is decided here, once the toolkit's D-Bus connection can ask the
// bus for the portal.
std::unique_ptr<QCoreApplication> WaylandBackend::startToolkit(int& argc, char** argv,
                                                              bool windows) {
    std::unique_ptr<QCoreApplication> application;
    if (!windows) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        application = std::make_unique<QApplication>(argc, argv);
        if (offer_.layerShell) layerShell_ = LayerShellOverlay::bind();
    }
    if (!source_) {
        source_ = kwinScreenshotServiceRunning() ? WaylandPixelSource::kwin
                  : canReachScreenshotPortal()   ? WaylandPixelSource::portal
                                                 : WaylandPixelSource::screencopy;
    }
    toolkitStarted_.set_value();
    return application;
}

ScreenList WaylandBackend::screens() const {
    return listWaylandScreens();
}

// KWin gives screenshots only to programs an installed desktop entry allows; the others go
// through the portal on the same desktop.
bool WaylandBackend::canRecordScreen() const {
    switch (*source_) {
        case WaylandPixelSource::screencopy:
            return canCaptureWaylandScreens();
        case WaylandPixelSource::kwin:
            return kwinGivesScreenshots(kBusCaptureBound) || portalPermitsScreenshots();
        case WaylandPixelSource::mutter:
        case WaylandPixelSource::portal:
            return portalPermitsScreenshots();
    }
    return false;
}

// Only the portal lets the desktop ask.
bool WaylandBackend::requestScreenRecording() const {
    switch (*source_) {
        case WaylandPixelSource::screencopy:
            return canCaptureWaylandScreens();
        case WaylandPixelSource::kwin:
            return kwinGivesScreenshots(kBusCaptureBound) ||
                   requestPortalScreenshotPermission(kPortalQuestionBound);
        case WaylandPixelSource::mutter:
        case WaylandPixelSource::portal:
            return requestPortalScreenshotPermission(kPortalQuestionBound);
    }
    return false;
}

Result<ScreenshotMap, CaptureFailure> WaylandBackend::captureAllDisplays() const {
    switch (*source_) {
        case WaylandPixelSource::screencopy:
            // Where the overlay's windows go on the layer shell, the screens show frozen at
            // once, before the toolkit's windows can be drawn.
            return captureWaylandScreens(stdout, offer_.layerShell ? &curtain_ : nullptr);
        case WaylandPixelSource::kwin: {
            const ScreenList screens = listWaylandScreens();
            auto screenshots = captureThroughKWin(screens, kBusCaptureBound);
            if (screenshots || !canReachScreenshotPortal()) return screenshots;
            return captureThroughPortal(screens, kBusCaptureBound);
        }
        case WaylandPixelSource::mutter: {
            // GNOME asks nobody before a screen cast: the user's screenshot permission decides.
            if (!portalPermitsScreenshots()) return CaptureFailure(CaptureError::permissionDenied);
            const ScreenList screens = listWaylandScreens();
            auto screenshots = captureThroughMutter(screens, kBusCaptureBound);
            if (screenshots) return screenshots;
            toolkitUp_.wait();
            return captureThroughPortal(screens, kBusCaptureBound);
        }
        case WaylandPixelSource::portal:
            return captureThroughPortal(listWaylandScreens(), kBusCaptureBound);
    }
    return CaptureFailure(CaptureError::captureFailed);
}

// Without the layer shell a client cannot place its windows; it can only ask for one
// fullscreen on an output. The native window must exist and know its screen before it is
// shown, or the compositor puts every fullscreen window on the focused output. Its first frame
// has the output's size already: the toolkit sometimes never repaints a first frame of another
// size after the fullscreen resize, leaving the output uncovered.
void WaylandBackend::showOverlayWindow(QWidget& window, QScreen& screen) const {
    if (layerShell_) return layerShell_->show(window, screen);
    window.winId();
    window.windowHandle()->setScreen(&screen);
    window.setGeometry(screen.geometry());
    window.showFullScreen();
}

void WaylandBackend::overlayDrawn(const std::vector<QWindow*>& windows) const {
    if (curtain_) CurtainHandOver::begin(*curtain_, windows);
}

// A layer surface holds the keyboard from its first frame. Elsewhere the compositor gives it to
// the window it activates; asking is all a client can do.
bool WaylandBackend::takeKeyboard(QWindow& window) const {
    if (layerShell_) return true;
    window.requestActivate();
    return true;
}

}  // namespace tavelin
