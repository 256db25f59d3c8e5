#include "CaptureAppDelegate.h"

#include <QTimer>

#include "OutputFilePath.h"
#include "PermissionModes.h"
#include "TestHost.h"

namespace tavelin {

void CaptureAppDelegate::applicationDidFinishLaunching() {
    // Under a test host the process only idles until it is stopped from outside.
    if (isEnvironmentVariableSet(kTestConfigurationVariable)) return;

    appArgs_ = AppArgs::parse(arguments_);
    setOutputFilePath(appArgs_->outputFile);
    QTimer::singleShot(0, this, [this] { runMode(*appArgs_); });
}

void CaptureAppDelegate::runMode(const AppArgs& appArgs) {
    switch (appArgs.mode) {
        case AppMode::checkPermission:
            runPermissionCheck(platform_);
            break;
        case AppMode::bootstrapPermission:
            runPermissionBootstrap(platform_);
            break;
        case AppMode::capture:
            if (!isRunningTests()) beginCapture(appArgs.captureArgs);
            break;
    }
}

}  // namespace tavelin
