// Latency of a whole capture run on a private Xvfb with a 3840x2160 and a 1920x1080 monitor
// showing a sample desktop, beside the peers measured in the same run:
// - freeze: from spawn until every overlay window is viewable, beside the floor (the smallest
//   toolkit program mapping the same windows, bench/FloorOverlay.cpp), the floor painting the
//   screens it captured as the overlay does, and flameshot gui (its window);
// - save: from the Return key to process exit for a full 3840x2160 selection (scrot -a: the
//   whole command for the same region), with the PNG sizes;
// - the peak memory of a run, beside both floors' and the screenshots' own size. Prints Markdown
//   tables; the save starts a person's reaction time after the overlay is shown.
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "RootBackground.h"
#include "ScreenContent.h"
#include "support/Files.h"
#include "support/Process.h"
#include "support/VirtualDisplay.h"

namespace {

using namespace tavelin::testing_support;
using Clock = std::chrono::steady_clock;

constexpr uint8_t kEscape = 9, kReturn = 36;
constexpr int kRuns = 15;
constexpr auto kReactionTime = std::chrono::milliseconds(300);

double since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool waitUntil(const std::function<bool()>& ready,
               std::chrono::seconds timeout = std::chrono::seconds(20)) {
    const auto deadline = Clock::now() + timeout;
    while (!ready()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return true;
}

// Presses and releases a key through XTEST, with no helper process in the measured time. The
// release follows as a person's would: the toolkit drops a press whose release comes with it.
void pressKey(const std::string& display, uint8_t keycode) {
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    xcb_test_fake_input(c, XCB_KEY_PRESS, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    xcb_test_fake_input(c, XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    xcb_disconnect(c);
}

struct Floor {
    double freezeMs;
    long peakMemoryKiB;
};

// Starts the floor program, waits for its windows and takes its memory once it has painted, as
// the program's is measured at its end.
std::optional<Floor> measureFloor(VirtualDisplay& display, const Environment& environment,
                                  std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {TAVELIN_FLOOR_BINARY, "-platform", "xcb"});
    const auto start = Clock::now();
    ChildProcess floor(arguments, environment);
    if (!waitUntil([&] { return display.viewableOverlayWindows() >= 2; })) return std::nullopt;
    const double freezeMs = since(start);
    std::this_thread::sleep_for(kReactionTime);
    floor.kill(SIGKILL);
    const long peakMemoryKiB = floor.wait(std::chrono::seconds(5)).peakMemoryKiB;
    waitUntil([&] { return display.viewableOverlayWindows() == 0; });
    return Floor{freezeMs, peakMemoryKiB};
}

// Spawn to flameshot's window. Now and then a flameshot shows no window at all; that attempt is
// dropped and the spawn timed again.
std::optional<double> measureFlameshot(VirtualDisplay& display, const Environment& environment) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto start = Clock::now();
        ChildProcess flameshot({"flameshot", "gui"}, environment);
        const bool shown = waitUntil(
            [&] {
                const auto windows = display.topLevelWindows();
                return std::any_of(windows.begin(), windows.end(),
                                   [](const auto& w) { return w.viewable && w.width >= 3840; });
            },
            std::chrono::seconds(5));
        const double freezeMs = since(start);
        flameshot.kill(SIGKILL);
        flameshot.wait(std::chrono::seconds(5));
        if (shown) return freezeMs;
    }
    return std::nullopt;
}

int fail(const char* what) {
    std::fprintf(stderr, "latency_bench: %s\n", what);
    return 1;
}

}  // namespace

int main() {
    VirtualDisplay display({{"UHD", 0, 0, 3840, 2160}, {"HD", 3840, 0, 1920, 1080}});
    tavelin::tools::setRootBackground(display.name(), tavelin::tools::screenLikeImage(5760, 2160));
    TempDirectory home;
    Environment environment = hermeticEnvironment(home.path());
    environment["DISPLAY"] = display.name();
    const std::string program = TAVELIN_CAPTURE_BINARY;

    std::vector<double> ourFreeze, floorFreeze, capturingFloorFreeze, peerFreeze, ourSave, peerSave;
    long peakMemory = 0, floorPeakMemory = 0, capturingFloorPeakMemory = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        ChildProcess capture({program, "--capture", "--out-dir", home.path()}, environment);
        if (!waitUntil([&] { return display.viewableOverlayWindows() >= 2; })) {
            return fail("no overlay");
        }
        ourFreeze.push_back(since(start));
        waitUntil([&] { return display.keyboardIsGrabbed(); });
        pressKey(display.name(), kEscape);
        capture.wait(std::chrono::seconds(10));

        const auto floor = measureFloor(display, environment, {});
        const auto capturingFloor = measureFloor(display, environment, {"--capture"});
        if (!floor || !capturingFloor) return fail("no floor windows");
        floorFreeze.push_back(floor->freezeMs);
        floorPeakMemory = std::max(floorPeakMemory, floor->peakMemoryKiB);
        capturingFloorFreeze.push_back(capturingFloor->freezeMs);
        capturingFloorPeakMemory =
            std::max(capturingFloorPeakMemory, capturingFloor->peakMemoryKiB);

        const auto flameshot = measureFlameshot(display, environment);
        if (!flameshot) return fail("no flameshot window");
        peerFreeze.push_back(*flameshot);
    }

    const std::string ours = home.path() + "/ours.png", peer = home.path() + "/scrot.png";
    for (int run = 0; run < kRuns; ++run) {
        ChildProcess capture(
            {program, "--capture", "--selectionPoints", "0,0,3840,2160", "--out", ours},
            environment);
        if (!waitUntil([&] {
                return display.viewableOverlayWindows() >= 2 && display.keyboardIsGrabbed();
            })) {
            return fail("no overlay");
        }
        // A person presses Return once the overlay is on screen, its first frame painted.
        std::this_thread::sleep_for(kReactionTime);
        const auto start = Clock::now();
        pressKey(display.name(), kReturn);
        const ProcessResult result = capture.wait(std::chrono::seconds(10));
        ourSave.push_back(since(start));
        if (result.exitStatus != 0) return fail("the capture failed");
        peakMemory = std::max(peakMemory, result.peakMemoryKiB);

        std::filesystem::remove(peer);
        const auto peerStart = Clock::now();
        if (runProcess({"scrot", "-a", "0,0,3840,2160", peer}, environment).exitStatus != 0) {
            return fail("scrot failed");
        }
        peerSave.push_back(since(peerStart));
    }
    const double oursBytes = static_cast<double>(std::filesystem::file_size(ours));
    const double peerBytes = static_cast<double>(std::filesystem::file_size(peer));

    std::printf("| freeze: spawn to overlay shown, ms (median of %d) | value |\n|---|---|\n",
                kRuns);
    std::printf("| tavelin-capture (both monitors) | %.0f |\n", median(ourFreeze));
    std::printf("| floor: the same windows painting a prepared image | %.0f |\n",
                median(floorFreeze));
    std::printf("| floor painting the screens it captured | %.0f |\n",
                median(capturingFloorFreeze));
    std::printf("| flameshot gui | %.0f |\n", median(peerFreeze));
    std::printf("| tavelin-capture / floor | %.2f |\n", median(ourFreeze) / median(floorFreeze));
    std::printf("| floor with the capture / floor | %.2f |\n",
                median(capturingFloorFreeze) / median(floorFreeze));
    std::printf("| tavelin-capture / floor with the capture | %.2f |\n",
                median(ourFreeze) / median(capturingFloorFreeze));
    std::printf("| flameshot / tavelin-capture | %.1fx |\n\n",
                median(peerFreeze) / median(ourFreeze));
    std::printf(
        "| save: 3840x2160 region to PNG, ms (median of %d) | ms | bytes |\n|---|---|---|\n",
        kRuns);
    std::printf("| tavelin-capture, Return to exit | %.0f | %.0f |\n", median(ourSave), oursBytes);
    std::printf("| scrot -a, whole command | %.0f | %.0f |\n", median(peerSave), peerBytes);
    std::printf("| ratio | %.1fx faster | %.2f of the size |\n\n",
                median(peerSave) / median(ourSave), oursBytes / peerBytes);
    // Both monitors' screenshots, 4 bytes a pixel.
    const double screenshotsKiB = (3840.0 * 2160 + 1920.0 * 1080) * 4 / 1024;
    std::printf("| peak resident memory, MiB | value |\n|---|---|\n");
    std::printf("| tavelin-capture, a whole run | %.0f |\n",
                static_cast<double>(peakMemory) / 1024);
    std::printf("| floor | %.0f |\n", static_cast<double>(floorPeakMemory) / 1024);
    std::printf("| floor painting the screens it captured | %.0f |\n",
                static_cast<double>(capturingFloorPeakMemory) / 1024);
    std::printf("| the screenshots themselves | %.0f |\n", screenshotsKiB / 1024);
    std::printf("| tavelin-capture / screenshots | %.2f |\n",
                static_cast<double>(peakMemory) / screenshotsKiB);
}
