#pragma once

#include <memory>

#include "ui/platform/PlatformBackend.h"

namespace tavelin {

// The backend of the session the program runs in, decided once at start: a Wayland compositor
// when the session is a Wayland one and the compositor answers (also when XWayland's $DISPLAY
// is set: X11 capture there sees no native windows), else the X server named by $DISPLAY, else
// none.
std::unique_ptr<PlatformBackend> loadBackend();

}  // namespace tavelin
