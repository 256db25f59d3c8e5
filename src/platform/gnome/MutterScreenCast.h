#pragma once

#include <chrono>

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/screens/Screen.h"

namespace tavelin {

// GNOME's screen cast interface (org.gnome.Mutter.ScreenCast) on the session bus: each
// monitor's native pixels as the first frame of a stream of its own, without the flash and the
// sound of the portal's screenshot. GNOME lets every client of the session bus use it and asks
// nobody, so whether the program may is for the caller to decide. Any thread; needs no toolkit.

// Whether the session bus has GNOME's screen cast service.
bool mutterScreenCastOffered();

// One screenshot per screen, the screen's name being the monitor's connector; all monitors in
// one session, stopped as soon as every frame is in. The pointer is left out. GNOME marks the
// session with its recording dot in the top bar, which leaves with the session.
Result<ScreenshotMap, CaptureFailure> captureThroughMutter(const ScreenList& screens,
                                                           std::chrono::milliseconds bound);

}  // namespace tavelin
