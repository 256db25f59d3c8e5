// Capture of both outputs of a private headless sway (3840x2160 at scale 2 and 1920x1080 at
// scale 1), in process through wlr-screencopy, beside grim capturing the same outputs as a
// whole command (into uncompressed PPM, so that its encoder weighs little); and the program's
// freeze, spawn until every output shows the overlay's scrim over its frozen content, beside the
// floor for it: `wayland_floor`, a plain-libwayland client doing the same capture and surfaces,
// and the same client showing a prepared image. Peak memory beside each. Prints Markdown.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/wayland/ScreencopyFrame.h"
#include "platform/wayland/WaylandPlatform.h"
#include "platform/wayland/WaylandSession.h"
#include "support/HeadlessCompositor.h"
#include "support/TestUser.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The median of 15 runs of `work`, each giving its own time: what it times may end before the
// run does (a program shown, then ended).
double medianMilliseconds(const std::function<double()>& work) {
    std::vector<double> times;
    for (int run = 0; run < 15; ++run) times.push_back(work());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Thrown, not exited: the compositor and what it started end as the stack unwinds.
[[noreturn]] void failed(const char* what) {
    throw std::runtime_error(what);
}

using tavelin::testing_support::HeadlessCompositor;

// Looks at one pixel of an output through wlr-screencopy, in process on a connection kept open:
// about a millisecond a look, against tens for a grim process, so that looking neither delays
// what it times nor loads the compositor much.
class PixelWatch {
public:
    PixelWatch() : session_(tavelin::WaylandSession::connect()) {
        if (!session_ || !session_->screencopy()) {
            throw std::runtime_error("cannot watch the outputs");
        }
    }
    // Whether output `index` shows `expected` at its logical point (x, y), within one level.
    // Outputs are known by name: compositors announce them in an order of their own.
    bool shows(size_t index, int x, int y, tavelin::testing_support::Rgb expected) {
        const auto& outputs = session_->outputs();
        const auto output = std::find_if(outputs.begin(), outputs.end(), [&](const auto& o) {
            return tavelin::screenName(o) == HeadlessCompositor::outputName(index);
        });
        if (output == outputs.end()) return false;
        tavelin::ScreencopyFrame frame(zwlr_screencopy_manager_v1_capture_output_region(
                                           session_->screencopy(), 0, output->handle, x, y, 1, 1),
                                       session_->shm());
        std::string failure;
        if (!session_->dispatchUntil([&] { return frame.isFinished(); }, std::chrono::seconds(5),
                                     failure) ||
            !frame.image()) {
            return false;
        }
        const uint8_t* bgra = frame.image()->row(0);
        lastSeen_ = {bgra[2], bgra[1], bgra[0]};
        lastExpected_ = expected;
        return std::abs(bgra[2] - expected.r) <= 1 && std::abs(bgra[1] - expected.g) <= 1 &&
               std::abs(bgra[0] - expected.b) <= 1;
    }
    // What the last look saw, and what it looked for.
    std::string lastLook() const {
        return std::to_string(lastSeen_.r) + "," + std::to_string(lastSeen_.g) + "," +
               std::to_string(lastSeen_.b) + " for " + std::to_string(lastExpected_.r) + "," +
               std::to_string(lastExpected_.g) + "," + std::to_string(lastExpected_.b);
    }

private:
    std::unique_ptr<tavelin::WaylandSession> session_;
    tavelin::testing_support::Rgb lastSeen_{};
    tavelin::testing_support::Rgb lastExpected_{};
};

// The content of output `index` at native (x, y) under the scrim (black at 40% opacity).
tavelin::testing_support::Rgb dimmedContent(size_t index, int x, int y) {
    const auto content = tavelin::testing_support::outputContentAt(index, x, y);
    const auto dimmed = [](uint8_t value) { return uint8_t(std::lround(value * 0.6)); };
    return {dimmed(content.r), dimmed(content.g), dimmed(content.b)};
}

// The peak resident memory of a running process, from the kernel's account.
double peakMiBOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    }
    return 0;
}

}  // namespace

int main() try {
    HeadlessCompositor compositor({{0, 0, 3840, 2160, 2}, {1920, 0, 1920, 1080, 1}});
    for (const auto& [name, value] : compositor.clientEnvironment({})) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    const double ours = medianMilliseconds([] {
        const auto start = Clock::now();
        const auto screenshots = tavelin::captureWaylandScreens();
        if (!screenshots.ok() || screenshots->size() != 2) failed("capture failed");
        return millisecondsSince(start);
    });
    const std::string file = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/grim.ppm";
    const double grim = medianMilliseconds([&] {
        const auto start = Clock::now();
        for (size_t output = 0; output < 2; ++output) {
            const auto result = compositor.runClient(
                {"grim", "-t", "ppm", "-o", HeadlessCompositor::outputName(output), file});
            if (result.exitStatus != 0) failed("grim failed");
        }
        return millisecondsSince(start);
    });
    using namespace tavelin::testing_support;
    TempDirectory home;
    handToTestUser(home.path());
    const std::string program = runnableByTestUser(TAVELIN_CAPTURE_BINARY);
    // Spawn until both outputs show what they should at a logical point, and the peak memory.
    PixelWatch watch;
    struct Freeze {
        double milliseconds = 0;
        double peakMiB = 0;
    };
    const auto freezeOf = [&](const std::vector<std::string>& argv, const Environment& environment,
                              tavelin::testing_support::Rgb first,
                              tavelin::testing_support::Rgb second) {
        double peak = 0;
        const double milliseconds = medianMilliseconds([&] {
            const auto start = Clock::now();
            ChildProcess run(asTestUser(argv), environment);
            const auto deadline = start + std::chrono::seconds(20);
            // The point 300,300 of each output: native 600,600 on the scale-2 one.
            while (!watch.shows(0, 300, 300, first) || !watch.shows(1, 300, 300, second)) {
                // Each look makes the compositor draw a frame: not more often than this.
                std::this_thread::sleep_for(std::chrono::milliseconds(4));
                if (Clock::now() > deadline) {
                    std::fprintf(stderr, "%s: not shown; last seen %s\n", argv.front().c_str(),
                                 watch.lastLook().c_str());
                    failed("not shown");
                }
                if (!run.isRunning()) {
                    const auto result = run.wait(std::chrono::seconds(1));
                    std::fprintf(stderr, "%s: %s%s", argv.front().c_str(), result.out.c_str(),
                                 result.err.c_str());
                    failed("ended before it showed");
                }
            }
            const double shown = millisecondsSince(start);
            // The peak once everything is up, not only what shows first.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            peak = std::max(peak, peakMiBOf(run.pid()));
            run.kill(SIGTERM);
            run.wait(std::chrono::seconds(5));
            return shown;
        });
        return Freeze{milliseconds, peak};
    };
    const Environment plain = compositor.clientEnvironment(hermeticEnvironment(home.path()));
    const std::string floorProgram = runnableByTestUser(TAVELIN_WAYLAND_FLOOR_BINARY);
    const Freeze freeze = freezeOf({program, "--capture"}, plain, dimmedContent(0, 600, 600),
                                   dimmedContent(1, 300, 300));
    const Freeze floor =
        freezeOf({floorProgram}, plain, dimmedContent(0, 600, 600), dimmedContent(1, 300, 300));
    const Freeze preparedFloor =
        freezeOf({floorProgram, "--prepared"}, plain, {40, 40, 40}, {40, 40, 40});
    std::printf(
        "| capture of 3840x2160 (scale 2) + 1920x1080 outputs, headless sway | ms (median of 15) "
        "| peak MiB |\n");
    std::printf(
        "|---|---|---|\n| tavelin-capture, wlr-screencopy, both outputs at once | %.1f | |\n",
        ours);
    std::printf("| `grim -t ppm -o NAME`, once per output, same run | %.1f | |\n", grim);
    std::printf(
        "| freeze: spawn to the overlay shown on both outputs (a 1x1 screencopy of each, every 4 "
        "ms) | %.1f | %.0f |\n",
        freeze.milliseconds, freeze.peakMiB);
    std::printf(
        "| floor: plain libwayland, wlr-screencopy then one overlay-layer surface per output "
        "showing its copy dimmed (`wayland_floor`), same way | %.1f | %.0f |\n",
        floor.milliseconds, floor.peakMiB);
    std::printf(
        "| the same without the capture, a prepared image (`wayland_floor --prepared`) | "
        "%.1f | %.0f |\n",
        preparedFloor.milliseconds, preparedFloor.peakMiB);
    std::printf("\nfreeze / floor: %.2f\n", freeze.milliseconds / floor.milliseconds);
} catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
}
