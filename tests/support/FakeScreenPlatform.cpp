#include "FakeScreenPlatform.h"

#include <cmath>

namespace tavelin::testing_support {

Bgra syntheticPixel(size_t index, int x, int y) {
    return {static_cast<uint8_t>(x), static_cast<uint8_t>(y),
            static_cast<uint8_t>(index * 64 + ((x >> 8) & 7) * 8 + ((y >> 8) & 7)), 0};
}

Bgra pixelAt(const Image& image, int x, int y) {
    const uint8_t* p = image.row(y) + x * 4;
    return {p[0], p[1], p[2], image.isOpaque() ? uint8_t{0xFF} : p[3]};
}

Result<ScreenshotMap, CaptureFailure> FakeScreenPlatform::captureAllDisplays() const {
    if (!permitted) return CaptureFailure(CaptureError::permissionDenied);
    ScreenshotMap screenshots;
    for (size_t index = 0; index < screens_.size(); ++index) {
        const Screen& screen = screens_[index];
        if (failing.count(screen.name)) continue;
        const int width = static_cast<int>(std::lround(screen.frame.absWidth() * screen.scale));
        const int height = static_cast<int>(std::lround(screen.frame.absHeight() * screen.scale));
        Image allocated = Image::allocate(width, height);
        for (int y = 0; y < height; ++y) {
            uint8_t* row = allocated.mutableRow(y);
            for (int x = 0; x < width; ++x) {
                const Bgra pixel = syntheticPixel(index, x, y);
                row[x * 4] = pixel.b;
                row[x * 4 + 1] = pixel.g;
                row[x * 4 + 2] = pixel.r;
            }
        }
        screenshots[screen.name] = allocated.asOpaque();
    }
    if (screenshots.empty()) return CaptureFailure(CaptureError::captureFailed);
    return screenshots;
}

}  // namespace tavelin::testing_support
