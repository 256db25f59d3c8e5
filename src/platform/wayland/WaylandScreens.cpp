// The compositor's outputs as the program's screens.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "WaylandPlatform.h"
#include "WaylandSession.h"
#include "core/geometry/GlobalSpace.h"
#include "core/identity/Uuid.h"

namespace tavelin {
namespace {

Rect layoutFrame(const WaylandOutput& output) {
    return {double(output.logicalX), double(output.logicalY), double(output.logicalWidth),
            double(output.logicalHeight)};
}

// Hosts store the identifier and hand it back in later runs: it is made from the connector and
// what the compositor says of the monitor, never from the registry's per-session numbers.
std::optional<std::string> identifyOutput(const WaylandOutput& output) {
    if (output.name.empty()) return std::nullopt;
    return nameBasedUuid("wayland-output:" + output.name + "\n" + output.make + "\n" +
                         output.model);
}

const WaylandOutput* primaryOutput(const std::deque<WaylandOutput>& outputs) {
    for (const WaylandOutput& output : outputs) {
        if (layoutFrame(output).contains(Point{0, 0})) return &output;
    }
    return outputs.empty() ? nullptr : &outputs.front();
}

}  // namespace

std::optional<WaylandCompositorOffer> reachWaylandCompositor() {
    const char* socket = std::getenv("WAYLAND_DISPLAY");
    const char* sessionType = std::getenv("XDG_SESSION_TYPE");
    const bool isWaylandSession =
        (socket && *socket) || (sessionType && std::strcmp(sessionType, "wayland") == 0);
    if (!isWaylandSession) return std::nullopt;
    const auto session = WaylandSession::connect();
    if (!session) return std::nullopt;
    return WaylandCompositorOffer{.screencopy = session->screencopy() != nullptr,
                                  .layerShell = session->offersLayerShell()};
}

ScreenList listWaylandScreens() {
    const auto session = WaylandSession::connect();
    if (!session) return {};
    const WaylandOutput* primary = primaryOutput(session->outputs());
    if (!primary) return {};
    const Rect primaryFrame = layoutFrame(*primary);
    ScreenList screens;
    for (const WaylandOutput& output : session->outputs()) {
        if (output.logicalWidth <= 0 || output.logicalHeight <= 0) continue;
        Screen screen;
        screen.name = screenName(output);
        screen.frame = desktopToGlobal(layoutFrame(output), primaryFrame);
        screen.scale = double(output.pixelWidth) / output.logicalWidth;
        screen.displayNumber = output.globalName;
        screen.uuid = identifyOutput(output);
        screens.push_back(std::move(screen));
    }
    std::stable_partition(screens.begin(), screens.end(), [&](const Screen& screen) {
        return screen.name == screenName(*primary);
    });
    return screens;
}

}  // namespace tavelin
