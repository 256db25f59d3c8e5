#include "Application.h"

#include <QApplication>
#include <QTimer>
#include <memory>

#include "CaptureAppDelegate.h"
#include "ProcessExit.h"
#include "TestHost.h"
#include "ui/platform/BackendLoader.h"

namespace tavelin {
namespace {

// The toolkit's platform plugins abort the process when they cannot connect. Without a display
// the run still needs its event loop and its record, so it gets an application without a GUI;
// the permission probe then reports the missing display as a missing permission. With one, the
// toolkit speaks the backend's own window system.
std::unique_ptr<QCoreApplication> createApplication(const PlatformBackend& backend, int& argc,
                                                    char** argv) {
    if (!backend.toolkitPlatform()) return std::make_unique<QCoreApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", backend.toolkitPlatform());
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

void runApplication(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::unique_ptr<PlatformBackend> backend = loadBackend();
    // The toolkit sees only the program path: the host's arguments are ours alone, and a value
    // such as "-display" must not be taken as a toolkit option.
    int toolkitArgc = 1;
    auto application = createApplication(*backend, toolkitArgc, argv);

    // A capture run freezes the screens while the toolkit starts; the permission gate still
    // decides, in order, whether the screenshots are used.
    ScreenFreeze freeze;
    if (AppArgs::scanMode(arguments) == AppMode::capture && !isRunningTests())
        freeze.start(*backend);
    CaptureAppDelegate delegate(arguments, *backend, freeze);
    QTimer::singleShot(0, &delegate, &CaptureAppDelegate::applicationDidFinishLaunching);
    endProcess(application->exec());
}

}  // namespace tavelin
