#pragma once

#include <cstdio>
#include <memory>
#include <optional>

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/screens/Screen.h"

namespace tavelin {

// What a compositor offers beyond the core protocol that decides how windows are shown on it.
struct WaylandCompositorOffer {
    bool screencopy = false;  // zwlr_screencopy_manager_v1: clients may copy outputs
    bool layerShell = false;  // zwlr_layer_shell_v1: surfaces above panels, on a chosen output
};

// A Wayland session: $WAYLAND_DISPLAY is set, or $XDG_SESSION_TYPE says "wayland" (the
// compositor then listens on the default socket), and the compositor answers. Empty otherwise.
std::optional<WaylandCompositorOffer> reachWaylandCompositor();

// Every output, primary first. Wayland knows no primary output: the one at the layout's origin
// stands in (else the first announced), and global space starts from its corner. The scale is
// native pixels per logical point, so fractional scales come out exact. Each call opens a
// connection of its own. Empty when the compositor cannot be reached.
ScreenList listWaylandScreens();

// Whether the compositor lets this client capture: a capture protocol is offered and a 1x1
// capture of an output succeeds. Never prompts.
bool canCaptureWaylandScreens();

class WaylandCurtain;

// One screenshot per output at its native resolution, without the pointer, keyed by output
// name, on a connection of its own (any thread). An output that fails is reported on
// `failureLines` and left out; permissionDenied without a capture protocol, captureFailed when
// no output could be captured. With `curtain`, the screenshots are also shown at once under the
// overlay's scrim where the compositor allows, and `*curtain` holds them up.
Result<ScreenshotMap, CaptureFailure> captureWaylandScreens(
    std::FILE* failureLines = stdout, std::unique_ptr<WaylandCurtain>* curtain = nullptr);

}  // namespace tavelin
