#pragma once

#include <QObject>
#include <future>
#include <memory>

#include "core/cli/AppArgs.h"
#include "core/result/RunOutcome.h"
#include "ui/overlay/OverlayWindowController.h"
#include "ui/platform/PlatformBackend.h"

namespace tavelin {

// Owns one capture run from the frozen screens to the end of the process: opens the overlay,
// turns the user's decision into exactly one record, and exits with 0 (image written),
// 1 (error) or 2 (cancelled).
class CaptureViewModel : public QObject {
    Q_OBJECT

public:
    CaptureViewModel(const PlatformBackend& platform, CaptureArgs args)
        : platform_(platform), args_(std::move(args)) {}

    // Makes the overlay's windows, hidden: the work that can be done while the screens are
    // being captured.
    void prepare();
    // Shows them over the frozen screenshots.
    void start(ScreenshotMap screenshots);
    // Ends the run as Escape does, unless the user confirmed already: that selection is being
    // saved and is reported as usual.
    void cancel();

private:
    void finishDismissed();
    void beginSaving(const Rect& rect);
    [[noreturn]] void finishCapture();
    [[noreturn]] void finishCancelled();

    const PlatformBackend& platform_;
    const CaptureArgs args_;
    ScreenshotMap screenshots_;
    std::unique_ptr<OverlayWindowController> overlayController_;
    std::shared_future<RunOutcome> saved_;  // valid once the user confirmed
};

}  // namespace tavelin
