#include "WaylandBackend.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "LayerShellOverlay.h"

namespace tavelin {
namespace {

// Set as the toolkit's shell, a name it has no plugin for: windows are then plain surfaces
// that take the layer-shell role from us.
constexpr char kNoToolkitShell[] = "none";

QtMessageHandler toolkitHandler = nullptr;

// The toolkit says it found no shell, which is what was asked of it; everything else it says
// goes on as before.
void passAllButMissingShellNotices(QtMsgType type, const QMessageLogContext& context,
                                   const QString& message) {
    const bool aboutMissingShell = qstrcmp(context.category, "qt.qpa.wayland") == 0 &&
                                   (message.contains("shell integration") ||
                                    message.startsWith("Attempted to load the following shells"));
    if (!aboutMissingShell) toolkitHandler(type, context, message);
}

}  // namespace

WaylandBackend::WaylandBackend(WaylandCompositorOffer offer) : offer_(offer) {}

WaylandBackend::~WaylandBackend() = default;

std::unique_ptr<QCoreApplication> WaylandBackend::startToolkit(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "wayland");
    if (!offer_.layerShell) return std::make_unique<QApplication>(argc, argv);
    qputenv("QT_WAYLAND_SHELL_INTEGRATION", kNoToolkitShell);
    // The toolkit looks for its shell when it makes its first window.
    toolkitHandler = qInstallMessageHandler(passAllButMissingShellNotices);
    auto application = std::make_unique<QApplication>(argc, argv);
    layerShell_ = LayerShellOverlay::bind();
    return application;
}

ScreenList WaylandBackend::screens() const {
    return listWaylandScreens();
}

bool WaylandBackend::canRecordScreen() const {
    return canCaptureWaylandScreens();
}

Result<ScreenshotMap, CaptureFailure> WaylandBackend::captureAllDisplays() const {
    return captureWaylandScreens();
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

// A layer surface holds the keyboard from its first frame. Elsewhere the compositor gives it to
// the window it activates; asking is all a client can do.
bool WaylandBackend::takeKeyboard(QWindow& window) const {
    if (layerShell_) return true;
    window.requestActivate();
    return true;
}

}  // namespace tavelin
