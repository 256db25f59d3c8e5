#pragma once

#include "core/image/Image.h"
#include "core/image/ImageReserve.h"

namespace tavelin {

// A copy of an opaque screenshot as it looks under black at `opacity`, so the overlay's scrim
// is a plain copy instead of a blend on every repaint.
// The copy comes from `reserve` when it holds an image of the right size.
Image dimmedCopy(const Image& image, double opacity, ImageReserve& reserve);

}  // namespace tavelin
