#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Files.h"
#include "InputChannel.h"
#include "OutputContent.h"
#include "Process.h"

namespace tavelin::testing_support {

// A private headless GNOME Shell with two virtual monitors: Meta-0, 1920x1080 at scale 1, the
// primary, and Meta-1, 2560x1440 pixels at scale 2 (1280x720 points) to its right; with its
// session bus (on which the bus starts the desktop portal when asked), PipeWire and WirePlumber,
// and input through mutter's remote-desktop interface. The shell needs a system bus: one is
// started (as root) when none runs. Runs as the test user; everything it started ends with it.
class GnomeShell {
public:
    GnomeShell();
    ~GnomeShell();
    GnomeShell(const GnomeShell&) = delete;
    GnomeShell& operator=(const GnomeShell&) = delete;

    static std::string outputName(size_t index) { return "Meta-" + std::to_string(index); }
    const std::vector<OutputLayout>& outputs() const { return outputs_; }
    const std::string& home() const { return runtime_.path(); }
    // What a client needs to reach this shell and its bus, added to `environment`.
    Environment clientEnvironment(Environment environment) const;
    // Starts a program as the test user in this session.
    std::unique_ptr<ChildProcess> startClient(const std::vector<std::string>& argv) const;
    // The portal's screenshot permission for `appId` ("yes" or "no").
    void storePermission(const std::string& appId, const std::string& answer) const;
    // Each monitor shows outputContentAt, in a fullscreen window, from now on.
    void showContent();

    // Input: the pointer in global logical points, and keys.
    InputChannel& input() { return *input_; }

private:
    void startSystemBus();
    void startSession();
    void startShell();
    void startInput();

    std::vector<OutputLayout> outputs_;
    TempDirectory runtime_;
    Environment environment_;
    std::unique_ptr<ChildProcess> systemBus_;
    std::vector<std::unique_ptr<ChildProcess>> services_;  // bus, PipeWire, WirePlumber
    std::unique_ptr<ChildProcess> shell_;
    std::unique_ptr<ChildProcess> pictures_;
    std::unique_ptr<InputChannel> input_;
};

}  // namespace tavelin::testing_support
