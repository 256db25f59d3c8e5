#include "ScreenContent.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tavelin::tools {
namespace {

struct Painter {
    const Image& image;

    void fill(int x0, int y0, int w, int h, uint8_t r, uint8_t g, uint8_t b) const {
        for (int y = std::max(0, y0); y < std::min(image.height(), y0 + h); ++y) {
            uint8_t* row = image.mutableRow(y);
            for (int x = std::max(0, x0); x < std::min(image.width(), x0 + w); ++x) {
                row[x * 4] = b;
                row[x * 4 + 1] = g;
                row[x * 4 + 2] = r;
                row[x * 4 + 3] = 0xFF;
            }
        }
    }
};

uint32_t nextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

}  // namespace

Image screenLikeImage(int width, int height) {
    const Image image = Image::allocate(width, height);
    const Painter paint{image};
    uint32_t random = 20261210;

    // Desktop: a vertical gradient.
    for (int y = 0; y < height; ++y) {
        const auto shade = static_cast<uint8_t>(40 + 60 * y / height);
        paint.fill(0, y, width, 1, shade / 2, shade, static_cast<uint8_t>(shade + 60));
    }
    // Windows: flat panels with a title bar and lines of text.
    for (int window = 0; window < 6; ++window) {
        const int x = static_cast<int>(nextRandom(random) % static_cast<uint32_t>(width * 2 / 3));
        const int y = static_cast<int>(nextRandom(random) % static_cast<uint32_t>(height * 2 / 3));
        const int w =
            width / 4 + static_cast<int>(nextRandom(random) % static_cast<uint32_t>(width / 4));
        const int h =
            height / 4 + static_cast<int>(nextRandom(random) % static_cast<uint32_t>(height / 4));
        paint.fill(x, y, w, h, 246, 246, 244);
        paint.fill(x, y, w, 28, 52, 58, 70);
        for (int line = y + 40; line + 14 < y + h; line += 20) {
            int cursor = x + 12;
            while (cursor < x + w - 20) {
                const int word = 3 + static_cast<int>(nextRandom(random) % 7);
                for (int glyph = 0; glyph < word && cursor < x + w - 20; ++glyph, cursor += 8) {
                    const uint32_t shape = nextRandom(random);
                    for (int stroke = 0; stroke < 4; ++stroke) {
                        if (shape >> stroke & 1) {
                            paint.fill(cursor + (stroke & 1) * 3, line + (stroke >> 1) * 6, 3, 6,
                                       30, 30, 35);
                        }
                    }
                }
                cursor += 8;
            }
        }
    }
    // A photo: smooth structure with fine grain.
    const int px = width / 2, py = height / 2, pw = width / 3, ph = height / 3;
    for (int y = py; y < std::min(height, py + ph); ++y) {
        uint8_t* row = image.mutableRow(y);
        for (int x = px; x < std::min(width, px + pw); ++x) {
            const double u = x * 0.013, v = y * 0.017;
            const double base = 128 + 60 * std::sin(u) * std::cos(v) + 40 * std::sin(u * 3.1 + v);
            const int grain = static_cast<int>(nextRandom(random) % 13) - 6;
            const auto level = [&](double offset) {
                return static_cast<uint8_t>(std::clamp(base + offset + grain, 0.0, 255.0));
            };
            row[x * 4] = level(-30);
            row[x * 4 + 1] = level(0);
            row[x * 4 + 2] = level(25);
            row[x * 4 + 3] = 0xFF;
        }
    }
    return image.asOpaque();
}

}  // namespace tavelin::tools
