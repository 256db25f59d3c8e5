#pragma once

#include <optional>
#include <string>

#include "core/cli/AppArgs.h"
#include "core/geometry/Rect.h"
#include "core/output/Records.h"
#include "core/screens/Screen.h"

namespace tavelin {

// The host's view of a confirmed selection `rect` (global space): where it lies on the display
// it belongs to, in points and pixels, and which display that is.
struct SelectionReport {
    RectDTO selectionPoints;
    RectDTO selectionPixels;
    double displayScale = 1;
    std::optional<DisplayInfoDTO> displayInfo;
};

// The scale is the smallest among the screens the selection touches (the scale of the image
// cut from them), else the main screen's, else 2. The display is the one holding the
// selection's centre, else the first it overlaps, else the main screen.
SelectionReport reportSelection(const Rect& rect, const ScreenList& screens,
                                const std::optional<Screen>& mainScreen);

ResultPayload okResult(const std::string& imagePath, const SelectionReport& report,
                       const std::optional<std::string>& requestId, const std::string& timestamp);
ResultPayload cancelledResult(const std::optional<std::string>& requestId,
                              const std::string& timestamp);
ResultPayload errorResult(const std::string& message, const std::optional<std::string>& requestId,
                          const std::string& timestamp);

// Where the PNG goes: --out, else "tavelin-capture-<id>.png" in --out-dir, else in
// `temporaryDirectory`. <id> is the request id with "/" and NUL made "_" (so an id cannot leave
// the directory), else `randomId`. Relative paths are joined to `workingDirectory` as written.
std::string outputPath(const CaptureArgs& args, const std::string& temporaryDirectory,
                       const std::string& workingDirectory, const std::string& randomId);

}  // namespace tavelin
