// The freeze on each desktop this machine runs headless, measured the same way everywhere: from
// the spawn of `tavelin-capture --capture` until its overlay has the screens frozen and takes the
// keyboard, seen as the moment it answers Escape (pressed every 10 ms from the spawn on; the run
// then ends cancelled, and its end is timed). sway through wlr-screencopy and through the
// desktop portal, KWin through its screenshot interface, GNOME Shell through its screen cast and
// through the portal; the latter two where they are installed. Medians of 9. Prints Markdown.
#include <linux/input-event-codes.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/HeadlessCompositor.h"
#include "support/PortalBus.h"
#include "support/Process.h"
#include "support/TestUser.h"
#if TAVELIN_BENCH_KWIN
#include "support/KWinCompositor.h"
#endif
#if TAVELIN_BENCH_GNOME
#include "support/GnomeShell.h"
#endif

namespace {

using namespace tavelin::testing_support;

constexpr int kRuns = 9;

// What is timed: the program's capture (which a cancel ends with status 2), or the floor.
struct Freezer {
    std::vector<std::string> argv;
    int statusOnEscape;
};

Freezer program() {
    return {{runnableByTestUser(TAVELIN_CAPTURE_BINARY), "--capture"}, 2};
}

// The plain-libwayland client doing the same capture and surfaces, or the surfaces alone.
Freezer floorClient(bool captures) {
    Freezer floor{{runnableByTestUser(TAVELIN_WAYLAND_FLOOR_BINARY)}, 0};
    if (!captures) floor.argv.push_back("--prepared");
    return floor;
}

// Spawn to the overlay answering Escape, in milliseconds; negative when a run failed.
double freezeMilliseconds(const Environment& environment,
                          const std::function<void()>& pressEscape,
                          const Freezer& freezer = program()) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        ChildProcess running(asTestUser(freezer.argv), environment);
        while (running.isRunning()) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) return -1;
            pressEscape();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (running.wait(std::chrono::seconds(1)).exitStatus != freezer.statusOnEscape) return -1;
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* what, double milliseconds) {
    if (milliseconds < 0) {
        std::printf("| %s | failed |\n", what);
    } else {
        std::printf("| %s | %.0f |\n", what, milliseconds);
    }
    std::fflush(stdout);
}

#if TAVELIN_BENCH_KWIN
// The median time KWin takes to give both outputs' pixels to an allowed program.
double kwinCaptureMilliseconds(const KWinCompositor& kwin, const std::string& program) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const ProcessResult result = kwin.runClient({program});
        if (result.exitStatus != 0) return -1;
        times.push_back(std::stod(result.out));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
#endif

Environment hermetic(const TempDirectory& home) {
    handToTestUser(home.path());
    return hermeticEnvironment(home.path());
}

}  // namespace

int main() {
    const std::string sway = runProcess({"sway", "--version"}, {{"PATH", "/usr/bin:/bin"}}).out;
    std::printf("| spawn to the overlay answering Escape (%s) | ms (median of %d) |\n|---|---|\n",
                sway.substr(0, sway.find('\n')).c_str(), kRuns);
    TempDirectory home;
    {
        HeadlessCompositor compositor({{0, 0, 1920, 1080, 1}, {1920, 0, 2560, 1440, 2}});
        const PortalBus portal(compositor);
        Environment environment =
            portal.clientEnvironment(compositor.clientEnvironment(hermetic(home)));
        const auto escape = [&] { compositor.input().tapKey(KEY_ESC); };
        environment["TAVELIN_WAYLAND_CAPTURE"] = "screencopy";
        const double freeze = freezeMilliseconds(environment, escape);
        report("sway, wlr-screencopy", freeze);
        const double floor = freezeMilliseconds(environment, escape, floorClient(true));
        report("sway, floor: plain libwayland, wlr-screencopy then overlay-layer surfaces", floor);
        report("sway, the floor's surfaces alone, a prepared image",
               freezeMilliseconds(environment, escape, floorClient(false)));
        if (freeze > 0 && floor > 0) {
            std::printf("| sway: wlr-screencopy / floor | %.2f |\n", freeze / floor);
        }
        portal.storePermission(portalAppIdOfChildren(), "yes");
        environment["TAVELIN_WAYLAND_CAPTURE"] = "portal";
        report("sway, desktop portal (xdg-desktop-portal-wlr)",
               freezeMilliseconds(environment, escape));
    }
#if TAVELIN_BENCH_KWIN
    {
        const std::string captureTime = runnableByTestUser(TAVELIN_KWIN_CAPTURE_TIME_BINARY);
        KWinCompositor kwin(1920, 1080,
                            {runnableByTestUser(TAVELIN_CAPTURE_BINARY), captureTime});
        const Environment environment = kwin.clientEnvironment(hermetic(home));
        const auto escape = [&] { kwin.input().tapKey(KEY_ESC); };
        const double freeze = freezeMilliseconds(environment, escape);
        report("KWin 6.3, its screenshot interface (software OpenGL)", freeze);
        const double captures = kwinCaptureMilliseconds(kwin, captureTime);
        report("KWin: its screenshot interface alone, both outputs, in process", captures);
        const double surfaces = freezeMilliseconds(environment, escape, floorClient(false));
        report("KWin: the floor's surfaces alone, a prepared image", surfaces);
        if (freeze > 0 && captures > 0 && surfaces > 0) {
            std::printf("| KWin: freeze / (captures + surfaces) | %.2f |\n",
                        freeze / (captures + surfaces));
        }
    }
#endif
#if TAVELIN_BENCH_GNOME
    {
        GnomeShell gnome;
        gnome.storePermission(portalAppIdOfChildren(), "yes");
        Environment environment = gnome.clientEnvironment(hermetic(home));
        environment["HOME"] = gnome.home();
        const auto escape = [&] { gnome.input().tapKey(KEY_ESC); };
        const double screenCast = freezeMilliseconds(environment, escape);
        report("GNOME Shell 48, its screen cast", screenCast);
        environment["TAVELIN_WAYLAND_CAPTURE"] = "portal";
        const double portal = freezeMilliseconds(environment, escape);
        report("GNOME Shell 48, desktop portal", portal);
        if (screenCast > 0 && portal > 0) {
            std::printf("| GNOME: screen cast / portal | %.2f |\n", screenCast / portal);
        }
    }
#endif
}
