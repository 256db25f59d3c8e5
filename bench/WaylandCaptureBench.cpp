// Capture of both outputs of a private headless sway (3840x2160 at scale 2 and 1920x1080 at
// scale 1), in process through wlr-screencopy, beside grim capturing the same outputs as a
// whole command (into uncompressed PPM, so that its encoder weighs little); and the program's
// freeze, spawn until every output shows the overlay's scrim over its frozen content, beside the
// floor for it: `wayland_floor`, a plain-libwayland client doing the same capture and surfaces,
// and the same client showing a prepared image. Peak memory beside each. Prints Markdown.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
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

using tavelin::testing_support::HeadlessCompositor;

// The first pixel of a binary PPM file.
std::optional<tavelin::testing_support::Rgb> firstPixelOf(const std::string& ppm) {
    std::ifstream in(ppm, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    if (!(in >> magic >> width >> height >> maximum) || magic != "P6") return std::nullopt;
    in.get();
    char rgb[3];
    if (!in.read(rgb, 3)) return std::nullopt;
    return tavelin::testing_support::Rgb{uint8_t(rgb[0]), uint8_t(rgb[1]), uint8_t(rgb[2])};
}

// Whether the point at logical (x, y) shows `expected`, within one level.
bool shows(const HeadlessCompositor& compositor, int x, int y,
           tavelin::testing_support::Rgb expected, const std::string& file) {
    const std::string geometry = std::to_string(x) + "," + std::to_string(y) + " 1x1";
    if (compositor.runClient({"grim", "-t", "ppm", "-g", geometry, file}).exitStatus != 0)
        return false;
    const auto shown = firstPixelOf(file);
    return shown && std::abs(shown->r - expected.r) <= 1 && std::abs(shown->g - expected.g) <= 1 &&
           std::abs(shown->b - expected.b) <= 1;
}

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

int main() {
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
    // Spawn until both outputs show `expected` (logical point, colour), and the peak memory.
    struct Freeze {
        double milliseconds = 0;
        double peakMiB = 0;
    };
    const auto freezeOf = [&](const std::vector<std::string>& argv, const Environment& environment,
                              tavelin::testing_support::Rgb first,
                              tavelin::testing_support::Rgb second) {
        double peak = 0;
        const double milliseconds = medianMilliseconds([&] {
            ChildProcess run(asTestUser(argv), environment);
            // Output 1 is 1920x1080 points at scale 2; output 2 starts at 1920 points.
            while (!shows(compositor, 300, 300, first, file) ||
                   !shows(compositor, 2220, 300, second, file)) {
                if (!run.isRunning()) {
                    const auto result = run.wait(std::chrono::seconds(1));
                    std::fprintf(stderr, "%s: %s%s", argv.front().c_str(), result.out.c_str(),
                                 result.err.c_str());
                    return false;
                }
            }
            peak = std::max(peak, peakMiBOf(run.pid()));
            run.kill(SIGTERM);
            run.wait(std::chrono::seconds(5));
            return true;
        });
        return Freeze{milliseconds, peak};
    };
    const Environment plain = compositor.clientEnvironment(hermeticEnvironment(home.path()));
    const std::string floorProgram = runnableByTestUser(TAVELIN_WAYLAND_FLOOR_BINARY);
    const Freeze freeze = freezeOf({program, "--capture"}, plain, dimmedContent(0, 600, 600),
                                   dimmedContent(1, 300, 300));
    const Freeze floor = freezeOf({floorProgram}, plain, dimmedContent(0, 600, 600),
                                  dimmedContent(1, 300, 300));
    const Freeze preparedFloor =
        freezeOf({floorProgram, "--prepared"}, plain, {40, 40, 40}, {40, 40, 40});
    std::printf(
        "| capture of 3840x2160 (scale 2) + 1920x1080 outputs, headless sway | ms (median of 15) "
        "| peak MiB |\n");
    std::printf("|---|---|---|\n| tavelin-capture, wlr-screencopy, both outputs at once | %.1f | |\n",
                ours);
    std::printf("| `grim -t ppm -o NAME`, once per output, same run | %.1f | |\n", grim);
    std::printf("| freeze: spawn to the overlay shown on both outputs (polled with grim) | %.1f | %.0f |\n",
                freeze.milliseconds, freeze.peakMiB);
    std::printf("| floor: plain libwayland, wlr-screencopy then one overlay-layer surface per output "
                "showing its copy dimmed (`wayland_floor`), same way | %.1f | %.0f |\n",
                floor.milliseconds, floor.peakMiB);
    std::printf("| the same without the capture, a prepared image (`wayland_floor --prepared`) | "
                "%.1f | %.0f |\n",
                preparedFloor.milliseconds, preparedFloor.peakMiB);
    std::printf("\nfreeze / floor: %.2f\n", freeze.milliseconds / floor.milliseconds);
}
