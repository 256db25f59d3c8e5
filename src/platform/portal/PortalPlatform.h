#pragma once

#include <chrono>
#include <string>

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/screens/Screen.h"

namespace tavelin {

// The desktop portal (org.freedesktop.portal.Desktop) on the session bus: the way to the
// screen on desktops whose compositor lets no client copy it (GNOME, KDE Plasma). Any thread.

// Whether the session bus has a portal that takes screenshots, or can start one.
bool canReachScreenshotPortal();

// The screenshot permission the desktop keeps for this program; never prompts.
bool portalPermitsScreenshots();

// Whether the program may take screenshots, asking where the desktop has kept no answer yet: one
// screenshot request without the portal's own dialog, which lets the desktop ask the user;
// waits up to `bound` for the answer. A desktop that answers with an image without keeping the
// permission gets it recorded as granted, so that the check agrees from then on. A refusal the
// desktop kept is the answer.
bool requestPortalScreenshotPermission(std::chrono::milliseconds bound);

// One screenshot per screen, cut from the portal's picture of the whole desktop. The picture's
// file is removed once read, when the portal wrote it for this request.
Result<ScreenshotMap, CaptureFailure> captureThroughPortal(const ScreenList& screens,
                                                           std::chrono::milliseconds bound);

}  // namespace tavelin
