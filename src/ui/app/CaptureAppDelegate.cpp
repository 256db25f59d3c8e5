#include "CaptureAppDelegate.h"

#include <QTimer>
#include <chrono>

#include "OutcomeReporter.h"
#include "ProcessExit.h"
#include "TestHost.h"
#include "core/output/Timestamp.h"

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
            bootstrapping_ = true;
            finishRun(permissionBootstrapOutcome(platform_));
        case AppMode::capture:
            if (!isRunningTests()) beginCapture(appArgs.captureArgs);
            break;
    }
}

// The event loop runs inside a bootstrap only while it waits for the desktop's answer to its
// question, so "triggered_system_dialog" is true whenever a stop arrives there.
void CaptureAppDelegate::stop(int signal) {
    if (isEnvironmentVariableSet(kTestConfigurationVariable)) endProcessBySignal(signal);
    const AppArgs args = appArgs_ ? *appArgs_ : AppArgs::parse(arguments_);
    switch (args.mode) {
        case AppMode::capture:
            if (isRunningTests()) endProcessBySignal(signal);
            if (captureViewModel_) return captureViewModel_->cancel();
            setOutputFile(args.outputFile);
            finishRun(cancelledOutcome(args.captureArgs,
                                       iso8601Timestamp(std::chrono::system_clock::now())));
        case AppMode::bootstrapPermission:
            if (bootstrapping_) finishRun(triggeredDialogOutcome());
            endProcessBySignal(signal);
        case AppMode::checkPermission:
            endProcessBySignal(signal);
    }
}

}  // namespace tavelin
