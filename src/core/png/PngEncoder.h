#pragma once

#include <cstdint>
#include <vector>

#include "core/image/Image.h"

namespace tavelin {

// Encodes an image as PNG, built for speed on screen content: every row gets the filter that
// predicts it best, and the rows are compressed with a fast deflate. Opaque images are written
// as RGB, others as straight (not premultiplied) RGBA.
std::vector<uint8_t> encodePng(const Image& image);

}  // namespace tavelin
