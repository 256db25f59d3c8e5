#include "DesktopSplit.h"

#include <algorithm>
#include <cmath>

#include "core/image/Resample.h"

namespace tavelin {
namespace {

Rect boundingBox(const ScreenList& screens) {
    double left = screens.front().frame.minX(), right = screens.front().frame.maxX();
    double bottom = screens.front().frame.minY(), top = screens.front().frame.maxY();
    for (const Screen& screen : screens) {
        left = std::min(left, screen.frame.minX());
        right = std::max(right, screen.frame.maxX());
        bottom = std::min(bottom, screen.frame.minY());
        top = std::max(top, screen.frame.maxY());
    }
    return {left, bottom, right - left, top - bottom};
}

int pixels(double points, double scale) {
    return static_cast<int>(std::lround(points * scale));
}

// `native` from `part`, which shows it enlarged `factor` times: each pixel the average of the
// opaque pixels of its block. A picture enlarged with filtering blends a screen's outermost
// pixels with the nothing beyond it, which leaves them translucent; the others are exact.
void reduceBlocks(const Image& part, int factor, const Image& native) {
    for (int y = 0; y < native.height(); ++y) {
        uint8_t* out = native.mutableRow(y);
        for (int x = 0; x < native.width(); ++x, out += 4) {
            int sums[4] = {0, 0, 0, 0};
            int opaque = 0;
            for (int dy = 0; dy < factor; ++dy) {
                const uint8_t* in = part.row(y * factor + dy) + x * factor * 4;
                for (int dx = 0; dx < factor; ++dx, in += 4) {
                    if (!part.isOpaque() && in[3] != 255) continue;
                    for (int c = 0; c < 3; ++c) sums[c] += in[c];
                    ++opaque;
                }
            }
            if (opaque == 0) continue;  // nothing of the screen here: left transparent
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((sums[c] + opaque / 2) / opaque);
            out[3] = 255;
        }
    }
}

}  // namespace

Result<ScreenshotMap, std::string> splitDesktopImage(const Image& desktop,
                                                     const ScreenList& screens) {
    if (screens.empty()) return std::string("No screens to cut the desktop picture for");
    const Rect box = boundingBox(screens);
    const double scale = box.width > 0 ? desktop.width() / box.width : 0;
    if (scale <= 0 || pixels(box.height, scale) != desktop.height()) {
        return "The desktop picture is " + std::to_string(desktop.width()) + "x" +
               std::to_string(desktop.height()) + " pixels, which does not fit the screens' " +
               std::to_string(pixels(box.width, 1)) + "x" + std::to_string(pixels(box.height, 1)) +
               " points";
    }
    ScreenshotMap screenshots;
    for (const Screen& screen : screens) {
        // Global space runs bottom-up; the picture top-down.
        const int left = pixels(screen.frame.minX() - box.minX(), scale);
        const int top = pixels(box.maxY() - screen.frame.maxY(), scale);
        const int right = pixels(screen.frame.maxX() - box.minX(), scale);
        const int bottom = pixels(box.maxY() - screen.frame.minY(), scale);
        const Image part = desktop.view(left, top, right - left, bottom - top);
        const int width = pixels(screen.frame.absWidth(), screen.scale);
        const int height = pixels(screen.frame.absHeight(), screen.scale);
        if (width == part.width() && height == part.height()) {
            screenshots.emplace(screen.name, part);
            continue;
        }
        Image native = Image::allocate(width, height);
        const int factor = part.width() / std::max(width, 1);
        if (factor * width == part.width() && factor * height == part.height()) {
            reduceBlocks(part, factor, native);
        } else {
            drawScaled(part, native, {0, 0, double(width), double(height)});
        }
        screenshots.emplace(screen.name, desktop.isOpaque() ? native.asOpaque() : native);
    }
    return screenshots;
}

}  // namespace tavelin
