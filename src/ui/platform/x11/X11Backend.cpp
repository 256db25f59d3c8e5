#include "X11Backend.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "core/geometry/GlobalSpace.h"
#include "platform/x11/ScreenPermission.h"
#include "platform/x11/X11Capture.h"
#include "platform/x11/X11Monitors.h"
#include "ui/platform/QtGeometry.h"

namespace tavelin {
namespace {

const X11Monitor* findMonitor(const std::vector<X11Monitor>& monitors, const std::string& name) {
    for (const X11Monitor& monitor : monitors) {
        if (monitor.name == name) return &monitor;
    }
    return nullptr;
}

}  // namespace

ScreenList X11Backend::screens() const {
    const QList<QScreen*> qtScreens = QGuiApplication::screens();
    if (qtScreens.isEmpty()) return {};
    const XcbConnection connection = XcbConnection::open();
    const std::vector<X11Monitor> monitors =
        connection ? listMonitors(connection) : std::vector<X11Monitor>{};

    const Rect primary = desktopRect(qtScreens.front()->geometry());
    ScreenList screens;
    for (const QScreen* qtScreen : qtScreens) {
        Screen screen;
        screen.name = qtScreen->name().toStdString();
        screen.frame = desktopToGlobal(desktopRect(qtScreen->geometry()), primary);
        screen.scale = qtScreen->devicePixelRatio();
        if (const X11Monitor* monitor = findMonitor(monitors, screen.name)) {
            screen.displayNumber = monitor->outputId;
            screen.uuid = monitor->uuid;
        }
        screens.push_back(std::move(screen));
    }
    return screens;
}

bool X11Backend::canRecordScreen() const {
    return tavelin::canRecordScreen();
}

Result<ScreenshotMap, CaptureFailure> X11Backend::captureAllDisplays() const {
    return tavelin::captureAllDisplays();
}

void X11Backend::prepareToolkit(bool windows) {
    if (windows) qputenv("QT_QPA_PLATFORM", "xcb");
}

std::unique_ptr<QCoreApplication> X11Backend::startToolkit(int& argc, char** argv,
                                                          bool windows) {
    if (!windows) return std::make_unique<QCoreApplication>(argc, argv);
    return std::make_unique<QApplication>(argc, argv);
}

void X11Backend::showOverlayWindow(QWidget& window, QScreen& screen) const {
    window.setScreen(&screen);
    window.setGeometry(screen.geometry());
    window.show();
    window.raise();
}

// No window manager hands out focus to a window that bypasses it: it grabs the keyboard itself.
bool X11Backend::takeKeyboard(QWindow& window) const {
    window.requestActivate();
    return window.setKeyboardGrabEnabled(true);
}

}  // namespace tavelin
