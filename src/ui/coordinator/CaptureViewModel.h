#pragma once

#include <QObject>
#include <memory>

#include "core/cli/AppArgs.h"
#include "ui/overlay/OverlayWindowController.h"
#include "ui/platform/PlatformBackend.h"

namespace tavelin {

// Owns one capture run from the frozen screens to the end of the process: opens the overlay,
// turns the user's decision into exactly one record, and exits with 0 (image written),
// 1 (error) or 2 (cancelled).
class CaptureViewModel : public QObject {
    Q_OBJECT

public:
    explicit CaptureViewModel(const PlatformBackend& platform) : platform_(platform) {}

    void start();
    // `rect` in global space; `openedOn`, the screens the overlay opened on.
    [[noreturn]] void finishCapture(const Rect& rect, const ScreenList& openedOn);
    [[noreturn]] void finishCancelled();

    std::unique_ptr<OverlayWindowController> overlayController;
    bool didStart = false;
    CaptureArgs args;
    ScreenshotMap initialScreenshots;

private:
    const PlatformBackend& platform_;
};

}  // namespace tavelin
