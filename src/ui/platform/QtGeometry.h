#pragma once

#include <QRect>

#include "core/geometry/Rect.h"

namespace tavelin {

// A rectangle of the toolkit's desktop (top-down, points) as a plain rectangle, same space.
inline Rect desktopRect(const QRect& r) {
    return {double(r.x()), double(r.y()), double(r.width()), double(r.height())};
}

}  // namespace tavelin
