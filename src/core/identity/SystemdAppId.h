#pragma once

#include <string>
#include <string_view>

namespace tavelin {

// The application id in the systemd unit a process runs in, as desktops name the units they
// launch applications in ("app[-LAUNCHER]-ID-RANDOM.scope", "app[-LAUNCHER]-ID[@RANDOM].service",
// dashes within the id escaped as \x2d), read from the text of /proc/PID/cgroup. Empty when the
// process runs in no such unit.
std::string appIdFromCgroup(std::string_view cgroupText);

}  // namespace tavelin
