#pragma once

#include "core/screens/ScreenPlatform.h"

namespace tavelin {

// Screens as the toolkit lays them out (logical frames, scale factors, primary first), named
// and identified by RandR; pixels straight from the X server.
class X11ScreenPlatform final : public ScreenPlatform {
public:
    ScreenList screens() const override;
    std::optional<Screen> mainScreen() const override;
    bool canRecordScreen() const override;
    Result<ScreenshotMap, CaptureFailure> captureAllDisplays() const override;
};

}  // namespace tavelin
