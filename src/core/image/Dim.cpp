#include "Dim.h"

#include <array>
#include <cmath>

namespace tavelin {

Image dimmedCopy(const Image& image, double opacity) {
    // Same arithmetic as a blend with an 8-bit alpha, so the copy matches a painted scrim.
    const int alpha = static_cast<int>(std::lround(opacity * 255));
    std::array<uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        table[static_cast<size_t>(v)] = static_cast<uint8_t>((v * (255 - alpha) + 127) / 255);
    }
    const Image dimmed = Image::allocate(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t* in = image.row(y);
        uint8_t* out = dimmed.mutableRow(y);
        for (int x = 0; x < image.width(); ++x, in += 4, out += 4) {
            out[0] = table[in[0]];
            out[1] = table[in[1]];
            out[2] = table[in[2]];
            out[3] = 0xFF;
        }
    }
    return dimmed.asOpaque();
}

}  // namespace tavelin
