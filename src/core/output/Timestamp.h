#pragma once

#include <chrono>
#include <string>

namespace tavelin {

// ISO 8601 internet date-time in UTC with whole seconds, e.g. 2026-12-08T21:29:38Z.
std::string iso8601Timestamp(std::chrono::system_clock::time_point moment);

}  // namespace tavelin
