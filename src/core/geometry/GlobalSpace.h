#pragma once

#include "core/geometry/Rect.h"

namespace tavelin {

// The window system's desktop runs top-down from the primary screen's top-left corner; global
// space runs bottom-up from the primary screen's bottom-left corner. Both are in points.
inline Rect desktopToGlobal(const Rect& desktop, const Rect& primaryDesktop) {
    const Rect r = desktop.standardized();
    return {r.x - primaryDesktop.minX(), primaryDesktop.maxY() - r.maxY(), r.width, r.height};
}

inline Point desktopToGlobal(Point desktop, const Rect& primaryDesktop) {
    return {desktop.x - primaryDesktop.minX(), primaryDesktop.maxY() - desktop.y};
}

}  // namespace tavelin
