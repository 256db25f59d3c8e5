#include "CaptureAppDelegate.h"

#include <QTimer>

#include "OutcomeReporter.h"
#include "TestHost.h"

namespace tavelin {

void CaptureAppDelegate::applicationDidFinishLaunching() {
    // Under a test host the process only idles until it is stopped from outside.
    if (isEnvironmentVariableSet(kTestConfigurationVariable)) return;

    appArgs_ = AppArgs::parse(arguments_);
    setOutputFile(appArgs_->outputFile);
    QTimer::singleShot(0, this, [this] { runMode(*appArgs_); });
}

void CaptureAppDelegate::runMode(const AppArgs& appArgs) {
    switch (appArgs.mode) {
        case AppMode::checkPermission:
            finishRun(permissionCheckOutcome(platform_));
        case AppMode::bootstrapPermission:
            finishRun(permissionBootstrapOutcome(platform_));
        case AppMode::capture:
            if (!isRunningTests()) beginCapture(appArgs.captureArgs);
            break;
    }
}

}  // namespace tavelin
