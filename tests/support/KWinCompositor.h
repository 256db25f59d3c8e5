#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Files.h"
#include "InputChannel.h"
#include "OutputContent.h"
#include "Process.h"

namespace tavelin::testing_support {

// A private headless KWin with two virtual outputs of `width` x `height` pixels side by side,
// the second at scale 2, each showing outputContentAt (through swaybg on the background layer),
// on a private session bus. It composites with OpenGL in software through a stand-in for a
// render node (tests/tools/RenderNodeStandIn.cpp), which its screenshot interface needs. Its
// application database knows `allowed` programs, by absolute path, as installed programs with
// the right to KWin's screenshots and fake input. Runs as the test user; everything it started
// ends with it.
class KWinCompositor {
public:
    KWinCompositor(int width, int height, const std::vector<std::string>& allowed);
    ~KWinCompositor();
    KWinCompositor(const KWinCompositor&) = delete;
    KWinCompositor& operator=(const KWinCompositor&) = delete;

    static std::string outputName(size_t index) { return "Virtual-" + std::to_string(index); }
    const std::vector<OutputLayout>& outputs() const { return outputs_; }
    // What a client needs to reach this compositor and its bus, added to `environment`.
    Environment clientEnvironment(Environment environment) const;
    // Runs a command as the test user against this compositor; returns its result.
    ProcessResult runClient(const std::vector<std::string>& argv) const;
    // Output `index` as KWin's screenshot interface gives it, into `png`.
    bool screenshot(size_t index, const std::string& png) const;
    // An ordinary application's fullscreen window on each output, showing outputContentAt of
    // index `contentIndex + output index`; returns once KWin has shown them.
    void showWindows(size_t contentIndex);
    // A green panel (a top-layer surface, 40 points high) along the top of the first output.
    void showPanel();

    // Input: the pointer in global logical points, and keys.
    InputChannel& input() { return *input_; }

private:
    void writeSettings(const std::vector<std::string>& allowed) const;
    void startBus();
    void startKWin();
    void arrangeOutputs();
    void showContent();
    void startInput();

    std::vector<OutputLayout> outputs_;
    TempDirectory runtime_;
    Environment environment_;
    std::unique_ptr<ChildProcess> bus_;
    std::unique_ptr<ChildProcess> kwin_;
    std::vector<std::unique_ptr<ChildProcess>> backgrounds_;
    std::unique_ptr<ChildProcess> windows_;
    std::unique_ptr<ChildProcess> panel_;
    std::unique_ptr<InputChannel> input_;
};

}  // namespace tavelin::testing_support
