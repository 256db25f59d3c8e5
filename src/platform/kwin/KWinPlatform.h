#pragma once

#include <chrono>

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/screens/Screen.h"

namespace tavelin {

// KWin's screenshot interface (org.kde.KWin.ScreenShot2) on the session bus: every output's
// native pixels through a pipe, without asking the user, for programs that an installed desktop
// entry names as allowed. Any thread.

// Whether KWin's screenshot service is on the session bus.
bool kwinScreenshotServiceRunning();

// Whether KWin gives this program screenshots: asks it for one pixel.
bool kwinGivesScreenshots(std::chrono::milliseconds bound);

// One screenshot per screen, all asked for at once; fails with KWin's reason when it gives
// any of them not, or not in time.
Result<ScreenshotMap, CaptureFailure> captureThroughKWin(const ScreenList& screens,
                                                         std::chrono::milliseconds bound);

}  // namespace tavelin
