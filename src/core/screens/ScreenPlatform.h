#pragma once

#include <optional>

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/screens/Screen.h"

namespace tavelin {

// What a capture run needs from the machine. The X11 implementation lives with the toolkit;
// tests use a fake with chosen screens and synthetic screenshots.
class ScreenPlatform {
public:
    virtual ~ScreenPlatform() = default;

    // The current screens, primary first, read afresh at every call.
    virtual ScreenList screens() const = 0;
    // The screen used when nothing else decides; absent without screens.
    virtual std::optional<Screen> mainScreen() const = 0;
    // Whether the screen may be recorded; never prompts.
    virtual bool canRecordScreen() const = 0;
    // One screenshot per screen, keyed by screen name. May be called off the GUI thread.
    virtual Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const = 0;
};

}  // namespace tavelin
