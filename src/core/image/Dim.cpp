#include "Dim.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace tavelin {
namespace {

// Rows [first, last): every channel scaled by (255 - alpha) / 255 with rounding, as an 8-bit
// blend of black computes it, alpha made opaque. Plain arithmetic on a byte array, so the
// compiler turns it into vector code.
void dimRows(const Image& image, const Image& dimmed, int first, int last, unsigned keep) {
    const size_t bytes = static_cast<size_t>(image.width()) * 4;
    for (int y = first; y < last; ++y) {
        const uint8_t* in = image.row(y);
        uint8_t* out = dimmed.mutableRow(y);
        for (size_t i = 0; i < bytes; ++i) {
            const unsigned v = in[i] * keep + 128;
            out[i] = static_cast<uint8_t>((v + (v >> 8)) >> 8);  // exact v / 255, rounded
        }
        for (size_t i = 3; i < bytes; i += 4) out[i] = 0xFF;
    }
}

}  // namespace

Image dimmedCopy(const Image& image, double opacity) {
    const unsigned keep = 255 - static_cast<unsigned>(std::lround(opacity * 255));
    const Image dimmed = Image::allocate(image.width(), image.height());
    // Bands of rows on every core: a 4K screenshot is 33 MB, dimmed on the way to the screen.
    const int bands = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1,
                                 std::max(1, image.height() / 256));
    std::vector<std::thread> workers;
    for (int band = 1; band < bands; ++band) {
        workers.emplace_back(dimRows, std::cref(image), std::cref(dimmed),
                             image.height() * band / bands, image.height() * (band + 1) / bands,
                             keep);
    }
    dimRows(image, dimmed, 0, image.height() / bands, keep);
    for (std::thread& worker : workers) worker.join();
    return dimmed.asOpaque();
}

}  // namespace tavelin
