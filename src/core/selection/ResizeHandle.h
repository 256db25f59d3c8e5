#pragma once

namespace tavelin {

enum class ResizeHandle {
    topLeft,
    top,
    topRight,
    right,
    bottomRight,
    bottom,
    bottomLeft,
    left,
    none
};

}  // namespace tavelin
