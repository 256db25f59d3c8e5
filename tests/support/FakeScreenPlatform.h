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
    bool canRecordScreen() const override { return permitted; }
    // A desktop that asks grants what the user answers; one that cannot ask answers as the check.
    bool requestScreenRecording() const override { return permitted || grantsWhenAsked; }
    Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const override;
    std::string lostConnectionText() const override { return "Lost the fake display"; }

    bool permitted = true;
    bool grantsWhenAsked = false;
    std::set<std::string> failing;

private:
    ScreenList screens_;
};

}  // namespace tavelin::testing_support
