#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/cli/AppArgs.h"
#include "ui/app/ScreenFreeze.h"
#include "ui/coordinator/CaptureViewModel.h"
#include "ui/platform/PlatformBackend.h"

namespace tavelin {

// Runs the launch sequence once the event loop is running and dispatches the run's mode. It
// lives until the process ends, and with it the parsed arguments and the capture coordinator.
class CaptureAppDelegate : public QObject {
    Q_OBJECT

public:
    CaptureAppDelegate(std::vector<std::string> arguments, const PlatformBackend& platform,
                       ScreenFreeze& freeze)
        : arguments_(std::move(arguments)), platform_(platform), freeze_(freeze) {}

    void applicationDidFinishLaunching();
    // A host or a terminal stopped the run with `signal` (SIGTERM, SIGINT, SIGHUP): a capture
    // ends as a cancellation, unless the user confirmed already, whose selection is saved and
    // reported; a bootstrap waiting for the desktop's answer reports that the desktop was asked;
    // any other run ends by the signal, without a record.
    void stop(int signal);

private:
    void runMode(const AppArgs& appArgs);
    void beginCapture(const CaptureArgs& args);
    void startCapture(const CaptureArgs& args);

    std::vector<std::string> arguments_;
    const PlatformBackend& platform_;
    ScreenFreeze& freeze_;
    std::optional<AppArgs> appArgs_;
    bool bootstrapping_ = false;
    std::unique_ptr<CaptureViewModel> captureViewModel_;
};

}  // namespace tavelin
