#pragma once

#include <functional>

#include "core/geometry/Rect.h"

namespace tavelin {

// What a view reports to its controller; rectangles in global coordinates.
struct SelectionViewCallbacks {
    std::function<void()> onCancel;
    std::function<void(const Rect&)> onCapture;
    std::function<void(bool forward)> onCycleHistory;
};

}  // namespace tavelin
