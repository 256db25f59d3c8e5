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

private:
    void runMode(const AppArgs& appArgs);
    void beginCapture(const CaptureArgs& args);
    void startCapture(const CaptureArgs& args);

    std::vector<std::string> arguments_;
    const PlatformBackend& platform_;
    ScreenFreeze& freeze_;
    std::optional<AppArgs> appArgs_;
    std::unique_ptr<CaptureViewModel> captureViewModel_;
};

}  // namespace tavelin
