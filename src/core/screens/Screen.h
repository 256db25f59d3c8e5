#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry/Rect.h"
#include "core/image/Image.h"

namespace tavelin {

// One monitor as the program sees it.
struct Screen {
    std::string name;  // the monitor's name; identifies the screen within a run
    Rect frame;        // global space: points, origin bottom-left of the primary screen, y up
    double scale = 1;  // pixels per point
    std::optional<uint32_t> displayNumber;
    std::optional<std::string> uuid;  // upper-case canonical text
    friend bool operator==(const Screen&, const Screen&) = default;
};

// The screens in platform order; the first one is the primary screen.
using ScreenList = std::vector<Screen>;

// The screen used when nothing else decides; absent without screens.
inline std::optional<Screen> mainScreenOf(const ScreenList& screens) {
    if (screens.empty()) return std::nullopt;
    return screens.front();
}

// One full-resolution screenshot per monitor, keyed by monitor name, frozen for the whole run.
using ScreenshotMap = std::map<std::string, Image>;

}  // namespace tavelin
