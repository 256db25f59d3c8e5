#include "Crop.h"

#include <algorithm>
#include <cmath>

#include "core/image/Resample.h"

namespace tavelin {
namespace {

// `rect` in the screenshot pixel space of the screen with frame `frame` (origin top-left).
Rect toScreenshotPixels(const Rect& rect, const Rect& frame, double scale) {
    return {(rect.minX() - frame.minX()) * scale, (frame.maxY() - rect.maxY()) * scale,
            rect.absWidth() * scale, rect.absHeight() * scale};
}

std::optional<Image> cropToPixels(const Image& image, const Rect& pixels) {
    const double left = std::max(std::floor(pixels.minX()), 0.0);
    const double top = std::max(std::floor(pixels.minY()), 0.0);
    const double right = std::min(std::ceil(pixels.maxX()), static_cast<double>(image.width()));
    const double bottom = std::min(std::ceil(pixels.maxY()), static_cast<double>(image.height()));
    if (!(left < right && top < bottom)) return std::nullopt;
    return image.view(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                      static_cast<int>(bottom - top));
}

const Image* screenshotOf(const ScreenshotMap& screenshots, const Screen& screen) {
    const auto found = screenshots.find(screen.name);
    return found == screenshots.end() ? nullptr : &found->second;
}

Result<Image, CaptureError> composite(const std::vector<const Screen*>& involved,
                                      const ScreenshotMap& screenshots, const Rect& rect) {
    double scale = involved.front()->scale;
    for (const Screen* screen : involved) scale = std::min(scale, screen->scale);
    const double width = std::trunc(rect.absWidth() * scale);
    const double height = std::trunc(rect.absHeight() * scale);
    constexpr double kLargestSide = 1 << 16;
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) {
        return CaptureError::captureFailed;
    }
    const Image canvas = Image::allocate(static_cast<int>(width), static_cast<int>(height));

    for (const Screen* screen : involved) {
        const Image* screenshot = screenshotOf(screenshots, *screen);
        if (!screenshot) continue;
        const auto overlap = screen->frame.intersection(rect);
        if (!overlap) continue;
        const auto piece =
            cropToPixels(*screenshot, toScreenshotPixels(*overlap, screen->frame, screen->scale));
        if (!piece) continue;
        // Canvas rows run top-down here. The canvas is anchored at the selection's bottom edge,
        // so a fraction of a row lost to truncating the height is lost at the top.
        const Rect destination{(overlap->minX() - rect.minX()) * scale,
                               height - (overlap->maxY() - rect.minY()) * scale,
                               overlap->absWidth() * scale, overlap->absHeight() * scale};
        drawScaled(*piece, canvas, destination);
    }
    return canvas;
}

}  // namespace

Result<Image, CaptureError> cropImage(const Image& image, const Screen& screen, const Rect& rect) {
    if (auto cropped = cropToPixels(image, toScreenshotPixels(rect, screen.frame, screen.scale))) {
        return *cropped;
    }
    return CaptureError::croppingFailed;
}

Result<Image, CaptureError> cropSelection(const ScreenList& screens,
                                          const ScreenshotMap& screenshots, const Rect& rect) {
    std::vector<const Screen*> involved;
    for (const Screen& screen : screens) {
        if (screen.frame.intersects(rect)) involved.push_back(&screen);
    }
    if (involved.empty()) return CaptureError::displayNotFound;
    if (involved.size() == 1) {
        if (const Image* screenshot = screenshotOf(screenshots, *involved.front())) {
            return cropImage(*screenshot, *involved.front(), rect);
        }
    }
    return composite(involved, screenshots, rect);
}

}  // namespace tavelin
