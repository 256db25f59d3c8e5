#pragma once

#include "core/image/Image.h"

namespace tavelin {

// A copy of an opaque screenshot as it looks under black at `opacity`, so the overlay's scrim
// is a plain copy instead of a blend on every repaint.
Image dimmedCopy(const Image& image, double opacity);

}  // namespace tavelin
