#include "CaptureViewModel.h"

#include <QPointer>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "core/identity/Uuid.h"
#include "core/output/Timestamp.h"
#include "ui/app/OutcomeReporter.h"

namespace tavelin {
namespace {

std::string now() {
    return iso8601Timestamp(std::chrono::system_clock::now());
}

std::string temporaryDirectory() {
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir && *tmpdir ? tmpdir : "/tmp";
}

std::string workingDirectory() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

}  // namespace

void CaptureViewModel::start() {
    overlayController = std::make_unique<OverlayWindowController>(platform_);
    QPointer<CaptureViewModel> weakSelf(this);
    overlayController->show(
        initialScreenshots, args,
        [weakSelf] {
            if (!weakSelf) return;
            weakSelf->overlayController.reset();
            weakSelf->finishCancelled();
        },
        [weakSelf](const Rect& rect) {
            if (!weakSelf) return;
            ScreenList openedOn = std::move(weakSelf->overlayController->screens);
            weakSelf->overlayController.reset();
            weakSelf->finishCapture(rect, openedOn);
        });
}

// The screens as they are now decide where the selection is reported. When they cannot be read
// any more (the display went away after the user confirmed), the frozen screenshots still hold
// the selection: it is saved as the screens were when the overlay opened.
void CaptureViewModel::finishCapture(const Rect& rect, const ScreenList& openedOn) {
    ScreenList screens = platform_.screens();
    if (screens.empty()) screens = openedOn;
    finishRun(confirmedOutcome(rect, screens, initialScreenshots, args,
                               {temporaryDirectory(), workingDirectory(), randomUuid(), now()}));
}

void CaptureViewModel::finishCancelled() {
    finishRun(cancelledOutcome(args, now()));
}

}  // namespace tavelin
