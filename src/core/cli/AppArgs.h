#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Diagnostics.h"
#include "core/geometry/Rect.h"
#include "core/output/Records.h"

namespace tavelin {

enum class AppMode { checkPermission, bootstrapPermission, capture };

// What steers a capture run. Strings are kept byte for byte; rectangles are in the host's units
// (see the initial-selection rules for how they are read).
struct CaptureArgs {
    std::optional<std::string> requestId;
    std::optional<std::string> outPath;
    std::optional<std::string> outDir;
    std::optional<Rect> selectionRect;
    std::optional<std::string> displayId;
    std::optional<Rect> displayBounds;
    std::vector<FrameHistoryEntry> frameHistory;

    // Scans the complete argument vector (program path first) for the capture options. Never
    // fails: an unreadable --frameHistory writes one line to `diagnostics` and empties the history.
    static CaptureArgs parse(const std::vector<std::string>& arguments,
                             const DiagnosticSink& diagnostics = writeToStandardError);
};

struct AppArgs {
    AppMode mode = AppMode::checkPermission;
    CaptureArgs captureArgs;
    std::optional<std::string> outputFile;

    // Scans for the mode and --output-file, then runs the capture scan over the same vector.
    // The two scans are independent: a value consumed by one is still an option to the other.
    static AppArgs parse(const std::vector<std::string>& arguments,
                         const DiagnosticSink& diagnostics = writeToStandardError);

    // The mode alone, as parse finds it, without the capture scan and its diagnostics.
    static AppMode scanMode(const std::vector<std::string>& arguments);
};

// "x,y,width,height": four numbers as strtod reads them in the C locale. Empty pieces are
// dropped and unreadable pieces skipped; anything but exactly four numbers gives nothing.
std::optional<Rect> parseRect(const std::string& text);

}  // namespace tavelin
