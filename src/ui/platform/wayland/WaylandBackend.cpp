#include "WaylandBackend.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/wayland/WaylandPlatform.h"

namespace tavelin {

ScreenList WaylandBackend::screens() const {
    return listWaylandScreens();
}

bool WaylandBackend::canRecordScreen() const {
    return canCaptureWaylandScreens();
}

Result<ScreenshotMap, CaptureFailure> WaylandBackend::captureAllDisplays() const {
    return captureWaylandScreens();
}

// A client cannot place its windows on Wayland; it can only ask for one fullscreen on an
// output. The native window must exist and know its screen before it is shown, or the
// compositor puts every fullscreen window on the focused output. Its first frame has the
// output's size already: the toolkit sometimes never repaints a first frame of another size
// after the fullscreen resize, leaving the output uncovered.
void WaylandBackend::showOverlayWindow(QWidget& window, QScreen& screen) const {
    window.winId();
    window.windowHandle()->setScreen(&screen);
    window.setGeometry(screen.geometry());
    window.showFullScreen();
}

// The compositor gives the keyboard to the window it activates; asking is all a client can do.
bool WaylandBackend::takeKeyboard(QWindow& window) const {
    window.requestActivate();
    return true;
}

}  // namespace tavelin
