#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "XcbHandles.h"

namespace tavelin {

// A RandR monitor: a rectangle of the root window in native pixels.
struct X11Monitor {
    std::string name;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool primary = false;
    std::optional<uint32_t> outputId;  // the first output showing it, if any
    std::string uuid;                  // stable identity, see identifyMonitor
};

// The active monitors, primary first. A server without RandR monitors yields the whole root
// window as one monitor.
std::vector<X11Monitor> listMonitors(const XcbConnection& connection);

}  // namespace tavelin
