#include "Application.h"

#include <QApplication>
#include <QTimer>
#include <memory>

#include "CaptureAppDelegate.h"
#include "ProcessExit.h"
#include "TestHost.h"
#include "platform/XcbHandles.h"
#include "ui/platform/X11ScreenPlatform.h"

namespace tavelin {
namespace {

bool usesX11Platform() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return platform.isEmpty() || platform.startsWith("xcb");
}

// Qt's X11 platform aborts the process when it cannot connect. Without a reachable display the
// run still needs its event loop and its record, so it gets an application without a GUI; the
// permission probe then reports the missing display as a missing permission.
std::unique_ptr<QCoreApplication> createApplication(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    if (usesX11Platform() && !XcbConnection::open()) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

void runApplication(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    // The toolkit sees only the program path: the host's arguments are ours alone, and a value
    // such as "-display" must not be taken as a toolkit option.
    int toolkitArgc = 1;
    auto application = createApplication(toolkitArgc, argv);

    // A capture run freezes the screens while the toolkit starts; the permission gate still
    // decides, in order, whether the screenshots are used.
    const X11ScreenPlatform platform;
    ScreenFreeze freeze;
    if (AppArgs::scanMode(arguments) == AppMode::capture && !isRunningTests())
        freeze.start(platform);
    CaptureAppDelegate delegate(arguments, platform, freeze);
    QTimer::singleShot(0, &delegate, &CaptureAppDelegate::applicationDidFinishLaunching);
    endProcess(application->exec());
}

}  // namespace tavelin
