#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/image/Image.h"

namespace tavelin {

// What a fast-path decode found.
enum class FastPathOutcome {
    decoded,
    notForFastPath,  // a valid-looking PNG of another kind: a general decoder takes it
    invalid,
};

// Decodes the PNGs that screenshot tools write (8-bit RGB or RGBA, not interlaced) in one
// inflate with libdeflate, several times faster than a zlib-based decoder, into `image`.
FastPathOutcome decodeCommonPng(const uint8_t* data, size_t size, std::optional<Image>& image);

}  // namespace tavelin
