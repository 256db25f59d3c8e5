#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/image/Image.h"

namespace tavelin {

// Decodes a PNG of any colour type and depth into premultiplied BGRA. Empty for data that is
// not a whole, valid PNG, and for images beyond 32768 pixels on a side.
std::optional<Image> decodePng(const uint8_t* data, size_t size);

}  // namespace tavelin
