#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/Process.h"

namespace tavelin::testing_support {

// Runs the built program the way a host does: hermetic environment, private HOME and TMPDIR.
class BinaryRun {
public:
    // `display` is the X display to run on; without one the program sees no display at all.
    explicit BinaryRun(const std::string& display = {})
        : environment_(hermeticEnvironment(home_.path())) {
        if (!display.empty()) environment_["DISPLAY"] = display;
    }

    Environment& environment() { return environment_; }
    const std::string& privateDirectory() const { return home_.path(); }

    ProcessResult run(std::vector<std::string> arguments,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
        arguments.insert(arguments.begin(), TAVELIN_CAPTURE_BINARY);
        return runProcess(arguments, environment_, timeout);
    }

    // Starts the program in `workingDirectory`, else in the private directory.
    std::unique_ptr<ChildProcess> start(std::vector<std::string> arguments,
                                        const std::string& workingDirectory = {}) const {
        arguments.insert(arguments.begin(), TAVELIN_CAPTURE_BINARY);
        return std::make_unique<ChildProcess>(
            arguments, environment_, workingDirectory.empty() ? home_.path() : workingDirectory);
    }

private:
    TempDirectory home_;
    Environment environment_;
};

}  // namespace tavelin::testing_support
