#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/Process.h"
#include "support/TestUser.h"

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
    // From now on the program runs as the test user, the owner of the private directory.
    void switchToTestUser() {
        asTestUser_ = true;
        handToTestUser(home_.path());
    }
    const std::string& privateDirectory() const { return home_.path(); }
    // Runs the program found at `path` from now on, as it is (no copy is made of it).
    void useProgramAt(std::string path) { program_ = std::move(path); }

    ProcessResult run(std::vector<std::string> arguments,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
        return runProcess(command(std::move(arguments)), environment_, timeout);
    }

    // Starts the program in `workingDirectory`, else in the private directory.
    std::unique_ptr<ChildProcess> start(std::vector<std::string> arguments,
                                        const std::string& workingDirectory = {}) const {
        return std::make_unique<ChildProcess>(
            command(std::move(arguments)), environment_,
            workingDirectory.empty() ? home_.path() : workingDirectory);
    }

private:
    std::vector<std::string> command(std::vector<std::string> arguments) const {
        if (!asTestUser_) {
            arguments.insert(arguments.begin(), program_.value_or(TAVELIN_CAPTURE_BINARY));
            return arguments;
        }
        arguments.insert(arguments.begin(),
                         program_.value_or(runnableByTestUser(TAVELIN_CAPTURE_BINARY)));
        return asTestUser(std::move(arguments));
    }

    std::optional<std::string> program_;
    bool asTestUser_ = false;
    TempDirectory home_;
    Environment environment_;
};

}  // namespace tavelin::testing_support
