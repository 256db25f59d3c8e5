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

void CaptureViewModel::prepare() {
    overlayController_ = std::make_unique<OverlayWindowController>(platform_);
    QPointer<CaptureViewModel> weakSelf(this);
    overlayController_->prepare(
        args_,
        [weakSelf] {
            if (weakSelf) weakSelf->finishDismissed();
        },
        [weakSelf](const Rect&) {
            if (!weakSelf) return;
            weakSelf->overlayController_.reset();
            weakSelf->finishCapture();
        },
        [weakSelf](const Rect& rect) {
            if (weakSelf) weakSelf->beginSaving(rect);
        });
}

void CaptureViewModel::start(ScreenshotMap screenshots) {
    screenshots_ = std::move(screenshots);
    overlayController_->present(screenshots_);
}

void CaptureViewModel::cancel() {
    if (saved_.valid()) return;
    if (!overlayController_) finishCancelled();
    overlayController_->dismiss([this] { finishDismissed(); });
}

// An Escape that follows a confirmation before the windows are gone changes nothing: the
// selection is being saved.
void CaptureViewModel::finishDismissed() {
    overlayController_.reset();
    if (saved_.valid()) finishCapture();
    finishCancelled();
}

// The screens as they are now decide where the selection is reported. When they cannot be read
// any more (the display went away as the user confirmed), the frozen screenshots still hold
// the selection: it is saved as the screens were when the overlay opened. The selection is cut
// and encoded while the windows are taken down; the record waits for both.
void CaptureViewModel::beginSaving(const Rect& rect) {
    if (saved_.valid()) return;
    ScreenList screens = platform_.screens();
    if (screens.empty()) screens = overlayController_->screens;
    const CaptureSurroundings surroundings{temporaryDirectory(), workingDirectory(), randomUuid(),
                                           now()};
    saved_ =
        std::async(std::launch::async, [this, rect, screens = std::move(screens), surroundings] {
            return confirmedOutcome(rect, screens, screenshots_, args_, surroundings);
        }).share();
    finishRunWithSaveOnLostDisplay(saved_);
}

void CaptureViewModel::finishCapture() {
    finishRun(saved_.get());
}

void CaptureViewModel::finishCancelled() {
    finishRun(cancelledOutcome(args_, now()));
}

}  // namespace tavelin
