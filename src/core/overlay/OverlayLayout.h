#pragma once

#include <optional>
#include <string>

#include "core/geometry/Rect.h"

namespace tavelin {

// Placement and texts of what an overlay view draws. View coordinates: points, origin at the
// view's top-left corner, y down. Global coordinates: see SelectionState.

// The selection `global` as it lies in the view covering `screenFrame`, which is `viewHeight`
// tall; it may lie partly or wholly outside the view.
Rect globalToView(const Rect& global, const Rect& screenFrame, double viewHeight);

// The part of `cutout` the scrim leaves undimmed in a view of `size`; absent for none.
std::optional<Rect> scrimCutout(const std::optional<Rect>& cutout, Size size);

// "W × H" of the selection in points, or nothing when `rect` (view) is too small to hold it.
std::optional<std::string> sizeLabelText(const Rect& rect, const std::optional<Rect>& fullRect);

// "x: X, y: Y" of a global position, truncated toward zero.
std::string coordinateLabelText(Point screenPosition);

// Where the coordinate label's centre goes for the pointer at `position`: down and right of
// it, flipped left or up near the view's right or bottom edge.
Point coordinateLabelCenter(Point position, Size viewSize);

}  // namespace tavelin
