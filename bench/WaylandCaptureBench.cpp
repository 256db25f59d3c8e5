// Capture of both outputs of a private headless sway (3840x2160 at scale 2 and 1920x1080 at
// scale 1), in process through wlr-screencopy, beside grim capturing the same outputs as a
// whole command (into uncompressed PPM, so that its encoder weighs little); and the program's
// freeze: spawn until the compositor lists a fullscreen overlay window on every output.
// Prints Markdown.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/wayland/WaylandPlatform.h"
#include "support/HeadlessCompositor.h"
#include "support/TestUser.h"

namespace {

double medianMilliseconds(const std::function<bool()>& work) {
    std::vector<double> times;
    for (int run = 0; run < 15; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!work()) {
            std::fprintf(stderr, "capture failed\n");
            std::exit(1);
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    using tavelin::testing_support::HeadlessCompositor;
    HeadlessCompositor compositor({{0, 0, 3840, 2160, 2}, {1920, 0, 1920, 1080, 1}});
    for (const auto& [name, value] : compositor.clientEnvironment({})) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    const double ours = medianMilliseconds([] {
        const auto screenshots = tavelin::captureWaylandScreens();
        return screenshots.ok() && screenshots->size() == 2;
    });
    const std::string file = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/grim.ppm";
    const double grim = medianMilliseconds([&] {
        for (size_t output = 0; output < 2; ++output) {
            const auto result = compositor.runClient(
                {"grim", "-t", "ppm", "-o", HeadlessCompositor::outputName(output), file});
            if (result.exitStatus != 0) return false;
        }
        return true;
    });
    using namespace tavelin::testing_support;
    TempDirectory home;
    handToTestUser(home.path());
    const std::string program = runnableByTestUser(TAVELIN_CAPTURE_BINARY);
    const double freeze = medianMilliseconds([&] {
        ChildProcess run(asTestUser({program, "--capture"}),
                         compositor.clientEnvironment(hermeticEnvironment(home.path())));
        for (;;) {
            const auto windows = compositor.windowsOf("tavelin-capture");
            if (windows.size() == 2 && windows[0].fullscreen && windows[1].fullscreen) break;
            if (!run.isRunning()) return false;
        }
        run.kill(SIGTERM);
        run.wait(std::chrono::seconds(5));
        return true;
    });
    std::printf(
        "| capture of 3840x2160 (scale 2) + 1920x1080 outputs, headless sway | ms (median of 15) "
        "|\n");
    std::printf("|---|---|\n| tavelin-capture, wlr-screencopy, both outputs at once | %.1f |\n",
                ours);
    std::printf("| `grim -t ppm -o NAME`, once per output, same run | %.1f |\n", grim);
    std::printf("| freeze: spawn to an overlay window on both outputs (polled) | %.1f |\n", freeze);
}
