#pragma once

#include <cstdio>

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/screens/Screen.h"

namespace tavelin {

// Takes one screenshot of every monitor of the display named by $DISPLAY, each at its native
// pixel size, keyed by monitor name. Runs on its own X connection, so it may run on any thread.
// A monitor that fails is reported on `failureLines` ("Failed to capture display ...") and left
// out. Fails with permissionDenied when the screen cannot be read at all, captureFailed when no
// monitor could be captured.
Result<ScreenshotMap, CaptureFailure> captureAllDisplays(std::FILE* failureLines = stdout);

}  // namespace tavelin
