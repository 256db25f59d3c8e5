// The start of a capture run: permission gate, frozen screens, then the coordinator.
#include <QTimer>
#include <chrono>

#include "core/output/Timestamp.h"
#include "ui/app/CaptureAppDelegate.h"
#include "ui/app/OutcomeReporter.h"

namespace tavelin {

void CaptureAppDelegate::beginCapture(const CaptureArgs& args) {
    if (!platform_.canRecordScreen()) finishRun(permissionDeniedOutcome());
    finishRunOnLostDisplay(args, platform_.lostConnectionText(), platform_.lostConnectionMessage());
    QTimer::singleShot(0, this, [this, args] { startCapture(args); });
}

// The overlay's windows are made while the screens are being captured and shown once they are.
void CaptureAppDelegate::startCapture(const CaptureArgs& args) {
    captureViewModel_ = std::make_unique<CaptureViewModel>(platform_, args);
    captureViewModel_->prepare();
    auto screenshots = freeze_.take(platform_);
    if (!screenshots) {
        finishRun(
            captureErrorOutcome("Failed to capture displays: " + screenshots.error().description(),
                                args, iso8601Timestamp(std::chrono::system_clock::now())));
    }
    captureViewModel_->start(std::move(*screenshots));
}

}  // namespace tavelin
