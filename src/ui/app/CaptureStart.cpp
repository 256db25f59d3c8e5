// The start of a capture run: permission gate, frozen screens, then the coordinator.
#include <QTimer>
#include <chrono>

#include "core/output/Timestamp.h"
#include "core/result/CaptureResult.h"
#include "ui/app/CaptureAppDelegate.h"
#include "ui/app/ProcessExit.h"
#include "ui/app/RunReport.h"

namespace tavelin {

namespace {

// Reports a capture run that could not start and ends the process with status 1.
[[noreturn]] void failCaptureStart(const std::string& description, const CaptureArgs& args) {
    reportRecord(errorResult("Failed to capture displays: " + description, args.requestId,
                             iso8601Timestamp(std::chrono::system_clock::now())));
    endProcess(1);
}

}  // namespace

void CaptureAppDelegate::beginCapture(const CaptureArgs& args) {
    if (!platform_.canRecordScreen()) {
        reportRecord(PermissionErrorResult{});
        endProcess(1);
    }
    reportLostDisplayOnExit(args.requestId, platform_.lostConnectionText(),
                            platform_.lostConnectionMessage());
    QTimer::singleShot(0, this, [this, args] { startCapture(args); });
}

void CaptureAppDelegate::startCapture(const CaptureArgs& args) {
    auto screenshots = freeze_.take(platform_);
    if (!screenshots) failCaptureStart(screenshots.error().description(), args);
    captureViewModel_ = std::make_unique<CaptureViewModel>(platform_);
    captureViewModel_->args = args;
    captureViewModel_->initialScreenshots = std::move(*screenshots);
    if (!captureViewModel_->didStart) {
        captureViewModel_->didStart = true;
        captureViewModel_->start();
    }
}

}  // namespace tavelin
