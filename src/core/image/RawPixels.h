#pragma once

#include <cstddef>
#include <cstdint>

namespace tavelin {

// The byte order of 32-bit pixels as other programs hand them over; "x" is a byte that carries
// no alpha, "premultiplied" colours already scaled by their alpha.
enum class PixelLayout { bgrx, bgra, bgraPremultiplied, rgbx, rgba, rgbaPremultiplied };

// Turns rows of `layout` pixels into premultiplied BGRA where they lie. Returns whether every
// pixel is opaque (always so for the "x" layouts, whose fourth byte is then to be ignored).
bool toPremultipliedBgraInPlace(uint8_t* pixels, int width, int height, size_t stride,
                                PixelLayout layout);

}  // namespace tavelin
