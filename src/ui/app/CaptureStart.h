#pragma once

#include <string>

#include "core/cli/AppArgs.h"

namespace tavelin {

// Gates on the recording permission, freezes every screen, then hands the run to the
// coordinator. Both early failures end the process with status 1.
void beginCapture(const CaptureArgs& args);

// Reports a capture run that could not start and ends the process with status 1.
[[noreturn]] void failCaptureStart(const std::string& description, const CaptureArgs& args);

}  // namespace tavelin
