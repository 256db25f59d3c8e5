#pragma once

#include "core/geometry/Rect.h"
#include "core/image/Image.h"

namespace tavelin {

// Draws `source` scaled to fill `destination` (pixels of `canvas`, origin top-left), replacing
// what was there. Each canvas pixel whose centre lies in `destination` becomes the average of
// the source pixels under it, so a reduced 2x screen keeps its text legible instead of aliasing.
void drawScaled(const Image& source, const Image& canvas, const Rect& destination);

}  // namespace tavelin
