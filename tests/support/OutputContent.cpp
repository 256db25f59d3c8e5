#include "OutputContent.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "PngDecode.h"
#include "core/capture/WritePng.h"
#include "core/image/Image.h"

namespace tavelin::testing_support {

Rgb outputContentAt(size_t index, int x, int y) {
    Rgb colour = patternAt(x, y);
    if (index % 2 == 1) colour.r = uint8_t(255 - colour.r);
    if (index >= 2) colour.g = uint8_t(255 - colour.g);
    return colour;
}

void writeOutputContentPng(size_t index, const OutputLayout& output, const std::string& path) {
    Image image = Image::allocate(output.width, output.height);
    for (int y = 0; y < output.height; ++y) {
        uint8_t* p = image.mutableRow(y);
        for (int x = 0; x < output.width; ++x, p += 4) {
            const Rgb c = outputContentAt(index, x, y);
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
            p[3] = 255;
        }
    }
    if (!writePng(image.asOpaque(), path)) throw std::runtime_error("cannot write " + path);
}

bool pngShowsOutputContent(const std::string& path, size_t index, const OutputLayout& output) {
    const auto decoded = decodePngFile(path);
    if (!decoded || decoded->width != output.width || decoded->height != output.height) {
        return false;
    }
    for (int y = 0; y < output.height; ++y) {
        for (int x = 0; x < output.width; ++x) {
            const uint8_t* p = decoded->at(x, y);
            if (!(Rgb{p[0], p[1], p[2]} == outputContentAt(index, x, y))) return false;
        }
    }
    return true;
}

double fractionShowingDimmedContent(const std::string& path, size_t index,
                                    const OutputLayout& output, int stride) {
    const auto png = decodePngFile(path);
    if (!png || png->width != output.width || png->height != output.height) return 0;
    const auto dimmed = [](uint8_t value) { return uint8_t(std::lround(value * 0.6)); };
    long matching = 0;
    long sampled = 0;
    for (int y = 0; y < output.height; y += stride) {
        for (int x = 0; x < output.width; x += stride, ++sampled) {
            const Rgb c = outputContentAt(index, x, y);
            const uint8_t* p = png->at(x, y);
            matching += std::abs(p[0] - dimmed(c.r)) <= 1 && std::abs(p[1] - dimmed(c.g)) <= 1 &&
                        std::abs(p[2] - dimmed(c.b)) <= 1;
        }
    }
    return double(matching) / double(sampled);
}

}  // namespace tavelin::testing_support
