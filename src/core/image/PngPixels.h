#pragma once

#include <cstddef>
#include <cstdint>

namespace tavelin {

// One decoded row of RGB or RGBA (`bytesPerPixel` 3 or 4, straight alpha) as premultiplied BGRA.
// `in` and `out` may be the same row when it is RGBA. False when a pixel is not opaque.
inline bool toPremultipliedBgra(const uint8_t* in, uint8_t* out, int width,
                                size_t bytesPerPixel) {
    bool opaque = true;
    for (int x = 0; x < width; ++x, in += bytesPerPixel, out += 4) {
        const uint8_t red = in[0], green = in[1], blue = in[2];
        const uint8_t alpha = bytesPerPixel == 4 ? in[3] : 255;
        out[0] = blue;
        out[1] = green;
        out[2] = red;
        out[3] = alpha;
        if (alpha == 255) continue;
        opaque = false;
        for (int c = 0; c < 3; ++c) out[c] = uint8_t((out[c] * alpha + 127) / 255);
    }
    return opaque;
}

}  // namespace tavelin
