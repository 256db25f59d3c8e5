#include "X11ScreenPlatform.h"

#include <QGuiApplication>
#include <QScreen>

#include "core/geometry/GlobalSpace.h"
#include "platform/ScreenPermission.h"
#include "platform/X11Capture.h"
#include "platform/X11Monitors.h"
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

ScreenList X11ScreenPlatform::screens() const {
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

std::optional<Screen> X11ScreenPlatform::mainScreen() const {
    ScreenList all = screens();
    if (all.empty()) return std::nullopt;
    return std::move(all.front());
}

bool X11ScreenPlatform::canRecordScreen() const {
    return tavelin::canRecordScreen();
}

Result<ScreenshotMap, CaptureFailure> X11ScreenPlatform::captureAllDisplays() const {
    return tavelin::captureAllDisplays();
}

}  // namespace tavelin
