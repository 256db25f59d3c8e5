#include "RunOutcome.h"

#include "core/capture/Crop.h"
#include "core/capture/WritePng.h"
#include "core/permission/PermissionModes.h"
#include "core/result/CaptureResult.h"

namespace tavelin {

RunOutcome permissionCheckOutcome(const ScreenPlatform& platform) {
    return {checkPermission(platform), 0};
}

RunOutcome permissionBootstrapOutcome(const ScreenPlatform& platform) {
    return {bootstrapPermission(platform), 0};
}

RunOutcome triggeredDialogOutcome() {
    return {PermissionBootstrapResult{.action = PermissionBootstrapResult::kTriggeredSystemDialog},
            0};
}

RunOutcome toolkitFailureOutcome(const AppArgs& args, const std::string& reason,
                                 const std::string& timestamp) {
    switch (args.mode) {
        case AppMode::checkPermission:
            return {PermissionCheckResult{.permissionGranted = false}, 0};
        case AppMode::bootstrapPermission:
            return triggeredDialogOutcome();
        case AppMode::capture:
            break;
    }
    return captureErrorOutcome("Failed to run the toolkit: " + reason, args.captureArgs,
                               timestamp);
}

RunOutcome permissionDeniedOutcome() {
    return {PermissionErrorResult{}, 1};
}

RunOutcome captureErrorOutcome(const std::string& message, const CaptureArgs& args,
                               const std::string& timestamp) {
    return {errorResult(message, args.requestId, timestamp), 1};
}

RunOutcome cancelledOutcome(const CaptureArgs& args, const std::string& timestamp) {
    return {cancelledResult(args.requestId, timestamp), 2};
}

RunOutcome confirmedOutcome(const Rect& rect, const ScreenList& screens,
                            const ScreenshotMap& screenshots, const CaptureArgs& args,
                            const CaptureSurroundings& surroundings) {
    const SelectionReport report = reportSelection(rect, screens, mainScreenOf(screens));
    const auto image = cropSelection(screens, screenshots, rect);
    if (!image) {
        return captureErrorOutcome(describeWithCase(image.error()), args, surroundings.timestamp);
    }
    const auto written =
        writePng(*image, outputPath(args, surroundings.temporaryDirectory,
                                    surroundings.workingDirectory, surroundings.randomId));
    if (!written) {
        return captureErrorOutcome(written.error().recordText(), args, surroundings.timestamp);
    }
    return {okResult(*written, report, args.requestId, surroundings.timestamp), 0};
}

}  // namespace tavelin
