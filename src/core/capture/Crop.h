#pragma once

#include "core/Result.h"
#include "core/capture/CaptureError.h"
#include "core/image/Image.h"
#include "core/screens/Screen.h"

namespace tavelin {

// Cuts `rect` (global space, points) out of `image`, the screenshot of `screen`. The pixel
// rectangle is widened to whole pixels and clipped to the screenshot; the result is a view on
// the screenshot's pixels. Fails with croppingFailed when no pixel remains.
Result<Image, CaptureError> cropImage(const Image& image, const Screen& screen, const Rect& rect);

// The selection `rect` (global space, points) out of the frozen screenshots. A selection on one
// screen is a plain crop; one that spans screens, or whose screen has no screenshot, is drawn
// onto a transparent canvas at the smallest scale involved.
Result<Image, CaptureError> cropSelection(const ScreenList& screens,
                                          const ScreenshotMap& screenshots, const Rect& rect);

}  // namespace tavelin
