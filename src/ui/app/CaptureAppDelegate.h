#pragma once

#include <QObject>
#include <optional>
#include <string>
#include <vector>

#include "core/cli/AppArgs.h"

namespace tavelin {

// Runs the launch sequence once the event loop is running and dispatches the run's mode.
class CaptureAppDelegate : public QObject {
    Q_OBJECT

public:
    explicit CaptureAppDelegate(std::vector<std::string> arguments)
        : arguments_(std::move(arguments)) {}

    void applicationDidFinishLaunching();

private:
    void runMode(const AppArgs& appArgs);

    std::vector<std::string> arguments_;
    std::optional<AppArgs> appArgs_;
};

}  // namespace tavelin
