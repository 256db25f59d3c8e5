#include "RawPixels.h"

#include <utility>

#include "PngPixels.h"

namespace tavelin {
namespace {

bool isOpaqueRow(const uint8_t* row, int width) {
    for (int x = 0; x < width; ++x) {
        if (row[4 * x + 3] != 255) return false;
    }
    return true;
}

void swapRedAndBlue(uint8_t* row, int width) {
    for (int x = 0; x < width; ++x) std::swap(row[4 * x], row[4 * x + 2]);
}

// Straight BGRA to premultiplied, where it lies.
bool premultiplyBgraRow(uint8_t* row, int width) {
    bool opaque = true;
    for (uint8_t* pixel = row; pixel != row + 4 * width; pixel += 4) {
        const unsigned alpha = pixel[3];
        if (alpha == 255) continue;
        opaque = false;
        for (int c = 0; c < 3; ++c) pixel[c] = uint8_t((pixel[c] * alpha + 127) / 255);
    }
    return opaque;
}

bool convertRow(uint8_t* row, int width, PixelLayout layout) {
    switch (layout) {
        case PixelLayout::bgrx:
            return true;
        case PixelLayout::bgra:
            return premultiplyBgraRow(row, width);
        case PixelLayout::bgraPremultiplied:
            return isOpaqueRow(row, width);
        case PixelLayout::rgbx:
            swapRedAndBlue(row, width);
            return true;
        case PixelLayout::rgba:
            return toPremultipliedBgra(row, row, width, 4);
        case PixelLayout::rgbaPremultiplied:
            swapRedAndBlue(row, width);
            return isOpaqueRow(row, width);
    }
    return false;
}

}  // namespace

bool toPremultipliedBgraInPlace(uint8_t* pixels, int width, int height, size_t stride,
                                PixelLayout layout) {
    bool opaque = true;
    for (int y = 0; y < height; ++y) {
        opaque = convertRow(pixels + stride * static_cast<size_t>(y), width, layout) && opaque;
    }
    return opaque;
}

}  // namespace tavelin
