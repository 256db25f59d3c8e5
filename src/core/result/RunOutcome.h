#pragma once

#include <optional>
#include <string>
#include <variant>

#include "core/cli/AppArgs.h"
#include "core/output/Records.h"
#include "core/screens/ScreenPlatform.h"

namespace tavelin {

// How a run ends for its host: the one record it gets, and the exit status (0 answered or image
// written, 1 error, 2 cancelled). Every mode and every stage of a capture says how it ended in
// one of these; only the reporter (ui/app/OutcomeReporter.h) delivers it and ends the process.
struct RunOutcome {
    using Record = std::variant<ResultPayload, PermissionCheckResult, PermissionBootstrapResult,
                                PermissionErrorResult>;
    Record record;
    int status = 0;
};

RunOutcome permissionCheckOutcome(const ScreenPlatform& platform);
RunOutcome permissionBootstrapOutcome(const ScreenPlatform& platform);
// A bootstrap that asked the desktop and has no answer yet.
RunOutcome triggeredDialogOutcome();
// The toolkit failed (`reason`, in its own words): a capture ends with an error record naming
// it; the permission modes answer that the screen cannot be recorded, as without a display.
RunOutcome toolkitFailureOutcome(const AppArgs& args, const std::string& reason,
                                 const std::string& timestamp);

// A capture run refused at its start: no permission.
RunOutcome permissionDeniedOutcome();
// An error record with `message` for a capture run; also a display lost under it.
RunOutcome captureErrorOutcome(const std::string& message, const CaptureArgs& args,
                               const std::string& timestamp);
RunOutcome cancelledOutcome(const CaptureArgs& args, const std::string& timestamp);

// What a confirmed capture needs from the world beyond its arguments.
struct CaptureSurroundings {
    std::string temporaryDirectory;
    std::string workingDirectory;
    std::string randomId;  // names the file when the host gave no request id
    std::string timestamp;
};

// The user confirmed `rect` (global space): the selection cut from the frozen `screenshots` of
// `screens` and written as a PNG, or the error that stopped it.
RunOutcome confirmedOutcome(const Rect& rect, const ScreenList& screens,
                            const ScreenshotMap& screenshots, const CaptureArgs& args,
                            const CaptureSurroundings& surroundings);

}  // namespace tavelin
