#pragma once

#include <string>

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/screens/Screen.h"

namespace tavelin {

// What a run needs from the machine's display system, whichever it is (X11, a Wayland
// compositor, none). Tests use a fake with chosen screens and synthetic screenshots.
class ScreenPlatform {
public:
    virtual ~ScreenPlatform() = default;

    // The current screens, primary first, read afresh at every call: callers read them once
    // per stage of a run and keep the list.
    virtual ScreenList screens() const = 0;
    // Whether the screen may be recorded; never prompts.
    virtual bool canRecordScreen() const = 0;
    // Asks for the permission where the desktop has a way to ask, and answers whether it is
    // granted now. Without such a way it answers as canRecordScreen does.
    virtual bool requestScreenRecording() const { return canRecordScreen(); }
    // One screenshot per screen, keyed by screen name. May be called off the GUI thread.
    virtual Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const = 0;
    // The error text of a run whose display system went away under it.
    virtual std::string lostConnectionText() const = 0;
};

}  // namespace tavelin
