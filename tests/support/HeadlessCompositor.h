#pragma once

#include <chrono>
#include <memory>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "Files.h"
#include "InputChannel.h"
#include "OutputContent.h"
#include "Process.h"
#include "VirtualDisplay.h"

namespace tavelin::testing_support {

// Where the compositor put a client's window.
struct PlacedWindow {
    std::string output;
    bool fullscreen = false;
    bool focused = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A private headless sway with the given outputs (named HEADLESS-1, HEADLESS-2, ...), each
// showing outputContentAt at its native resolution, and a virtual pointer and keyboard that
// exist before any client starts. Runs as the test user (TestUser.h); everything it started is
// stopped when it goes away.
class HeadlessCompositor {
public:
    explicit HeadlessCompositor(std::vector<OutputLayout> outputs);
    ~HeadlessCompositor();
    HeadlessCompositor(const HeadlessCompositor&) = delete;
    HeadlessCompositor& operator=(const HeadlessCompositor&) = delete;

    static std::string outputName(size_t index) { return "HEADLESS-" + std::to_string(index + 1); }
    const std::vector<OutputLayout>& outputs() const { return outputs_; }
    // What a client needs to reach this compositor, added to `environment`.
    Environment clientEnvironment(Environment environment) const;

    // The virtual pointer (layout points, in logical points) and keyboard.
    InputChannel& input() { return *input_; }

    // The windows of clients with this application id, as the compositor's tree lists them.
    std::vector<PlacedWindow> windowsOf(const std::string& appId) const;
    // Runs a command as the test user against this compositor; returns its result.
    ProcessResult runClient(const std::vector<std::string>& argv) const;
    // Turns output `index` off; the pointer's layout shrinks to the outputs left.
    void disableOutput(size_t index);
    void stop();

private:
    std::pair<int, int> layoutExtent() const;
    void writeConfiguration() const;
    void awaitSockets();
    void startInput();
    void awaitContent();

    std::vector<OutputLayout> outputs_;
    std::set<size_t> disabled_;
    TempDirectory runtime_;
    std::string socket_;
    std::string ipcSocket_;
    std::unique_ptr<ChildProcess> compositor_;
    std::unique_ptr<InputChannel> input_;
};

}  // namespace tavelin::testing_support
