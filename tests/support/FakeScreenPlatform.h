#pragma once

#include <set>

#include "core/screens/ScreenPlatform.h"

namespace tavelin::testing_support {

// The colour a synthetic screenshot holds at pixel (x, y) of the screen at `index`.
struct Bgra {
    uint8_t b, g, r, a;
    friend bool operator==(const Bgra&, const Bgra&) = default;
};
Bgra syntheticPixel(size_t index, int x, int y);
Bgra pixelAt(const Image& image, int x, int y);

// Screens with chosen frames and scales; screenshots of their native pixel size filled with
// syntheticPixel. Screens named in `failing` cannot be captured.
class FakeScreenPlatform final : public ScreenPlatform {
public:
    explicit FakeScreenPlatform(ScreenList screens) : screens_(std::move(screens)) {}

    ScreenList screens() const override { return screens_; }
    std::optional<Screen> mainScreen() const override;
    bool canRecordScreen() const override { return permitted; }
    Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const override;

    bool permitted = true;
    std::set<std::string> failing;

private:
    ScreenList screens_;
};

}  // namespace tavelin::testing_support
