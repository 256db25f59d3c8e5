#include "BackendLoader.h"

#include "platform/wayland/WaylandPlatform.h"
#include "platform/x11/ScreenPermission.h"
#include "ui/platform/NoDisplayBackend.h"
#include "ui/platform/wayland/WaylandBackend.h"
#include "ui/platform/x11/X11Backend.h"

namespace tavelin {

std::unique_ptr<PlatformBackend> loadBackend() {
    if (const auto compositor = reachWaylandCompositor())
        return std::make_unique<WaylandBackend>(*compositor);
    if (canReachX11Display()) return std::make_unique<X11Backend>();
    return std::make_unique<NoDisplayBackend>();
}

}  // namespace tavelin
