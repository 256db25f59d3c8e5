#pragma once

#include <string>

#include "core/Result.h"
#include "core/screens/Screen.h"

namespace tavelin {

// Cuts one picture of the whole desktop (the bounding box of every screen, top row first, at a
// uniform number of pixels per point) into one screenshot per screen at the screen's own scale.
// Where the picture has the screen's scale, its screenshot is a view of the picture's pixels,
// exact; elsewhere it is resampled: a screen the picture enlarged by a whole factor comes back
// exact (each pixel the average of the opaque pixels of its block), others are averaged. Fails
// with a reason when the picture's proportions do not match the screens.
Result<ScreenshotMap, std::string> splitDesktopImage(const Image& desktop,
                                                     const ScreenList& screens);

}  // namespace tavelin
