#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/image/Image.h"

namespace tavelin {

// Decodes a PNG of any colour type and depth into premultiplied BGRA: the kind screenshot tools
// write (8-bit RGB or RGBA, not interlaced) through libdeflate, the rest through libspng. Empty
// for data that is not a whole, valid PNG, and for images beyond 32768 pixels on a side.
std::optional<Image> decodePng(const uint8_t* data, size_t size);

}  // namespace tavelin
