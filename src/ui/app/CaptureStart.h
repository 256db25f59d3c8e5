#pragma once

#include <string>

#include "core/cli/AppArgs.h"

namespace tavelin {

// Reports a capture run that could not start and ends the process with status 1.
[[noreturn]] void failCaptureStart(const std::string& description, const CaptureArgs& args);

}  // namespace tavelin
