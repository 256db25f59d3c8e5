#pragma once

#include <future>
#include <optional>

#include "core/screens/ScreenPlatform.h"

namespace tavelin {

// Takes the run's one screenshot of every screen on a worker thread. It can start before the
// toolkit is up, so the capture and the toolkit's start-up overlap.
class ScreenFreeze {
public:
    using Outcome = Result<ScreenshotMap, CaptureFailure>;

    // Starts the capture; does nothing when it has started already.
    void start(const ScreenPlatform& platform);
    // Waits for the capture, starting it first if nobody has.
    Outcome take(const ScreenPlatform& platform);

private:
    std::future<Outcome> pending_;
};

}  // namespace tavelin
