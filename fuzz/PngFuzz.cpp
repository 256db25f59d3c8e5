// The PNG encoder on arbitrary sizes and pixels, decoded back and compared; and the decoder on
// whatever bytes follow, as a damaged file from a desktop portal would be.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "core/image/PngDecoder.h"
#include "core/png/PngEncoder.h"

using tavelin::fuzzing::FuzzInput;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const int width = 1 + input.take<uint8_t>() % 64;
    const int height = 1 + input.take<uint8_t>() % 64;
    const bool opaque = input.take<uint8_t>() & 1;
    tavelin::Image image = tavelin::Image::allocate(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.mutableRow(y);
        for (int x = 0; x < width; ++x, p += 4) {
            const uint8_t alpha = opaque ? 255 : input.take<uint8_t>();
            for (int c = 0; c < 3; ++c) p[c] = uint8_t(input.take<uint8_t>() * alpha / 255);
            p[3] = alpha;
        }
    }
    if (opaque) image = image.asOpaque();
    const std::vector<uint8_t> png = tavelin::encodePng(image);
    const auto decoded = tavelin::decodePng(png.data(), png.size());
    if (!decoded || decoded->width() != width || decoded->height() != height) std::abort();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width * 4; ++x) {
            const int expected = image.row(y)[x];
            const int got = decoded->row(y)[x];
            // Straight alpha in the file: a premultiplied value comes back within one; a pixel
            // of no coverage keeps none of its colour.
            if (std::abs(got - expected) > (opaque ? 0 : 1)) std::abort();
        }
    }
    (void)tavelin::decodePng(input.rest(), input.restSize());
    return 0;
}
