#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Diagnostics.h"
#include "core/cli/AppArgs.h"
#include "core/geometry/Rect.h"
#include "core/screens/Screen.h"

namespace tavelin {

inline constexpr double kBoundsTolerance = 1.0;

// `r` in display top-left space (origin at the display's top-left corner, y down) on the
// display with global frame `frame`, as a global rectangle.
Rect topLeftToGlobal(const Rect& r, const Rect& frame);

// The first of `frames` (global) that, seen from the primary screen's top-left corner with y
// down, equals `bounds` within `tolerance` in each of its four numbers.
std::optional<Rect> screenFrameMatchingBounds(const Rect& bounds, const std::vector<Rect>& frames,
                                              const Rect& primaryFrame, double tolerance);

// A rectangle centred on `frame`: of `size` limited to the frame, or without a size 75% of
// the frame within 100-800 by 100-600 points.
Rect centeredSelection(const Rect& frame, const std::optional<Size>& size);

// Where the overlay opens with a selection already in place, in global space; absent for
// none. `frameForDisplayId` finds a screen's global frame by identifier; `log` takes each
// diagnostic line without its line feed.
std::optional<Rect> resolveInitialSelection(
    const std::optional<Rect>& selectionRect, const std::optional<std::string>& displayId,
    const std::optional<Rect>& displayBounds, const std::vector<Rect>& frames,
    const std::function<std::optional<Rect>(const std::string&)>& frameForDisplayId,
    const std::function<void(const std::string&)>& log, const Rect& primaryFrame);

// The rule above for a run's arguments and screens, diagnostics to `diagnostics`.
std::optional<Rect> initialSelection(const CaptureArgs& args, const ScreenList& screens,
                                     const DiagnosticSink& diagnostics = writeToStandardError);

// The shortest text that reads back as the same double, with a digit after the point (1920.0).
std::string shortestDecimalText(double value);

}  // namespace tavelin
