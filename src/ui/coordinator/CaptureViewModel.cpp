#include "CaptureViewModel.h"

#include <QPointer>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "core/capture/Crop.h"
#include "core/capture/WritePng.h"
#include "core/identity/Uuid.h"
#include "core/output/Timestamp.h"
#include "core/result/CaptureResult.h"
#include "ui/app/ProcessExit.h"
#include "ui/app/RunReport.h"

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
            weakSelf->overlayController.reset();
            weakSelf->finishCapture(rect);
        });
}

void CaptureViewModel::finishCapture(const Rect& rect) {
    const ScreenList screens = platform_.screens();
    const SelectionReport report = reportSelection(rect, screens, mainScreenOf(screens));
    const auto image = cropSelection(screens, initialScreenshots, rect);
    if (!image) finishWithError(image.error());
    const auto written = writePng(*image, outputURL());
    if (!written) finishWithError(written.error());
    reportRecord(okResult(*written, report, args.requestId, now()));
    endProcess(0);
}

void CaptureViewModel::finishCancelled() {
    reportRecord(cancelledResult(args.requestId, now()));
    endProcess(2);
}

void CaptureViewModel::finishWithError(const CaptureFailure& failure) {
    reportRecord(errorResult(failure.recordText(), args.requestId, now()));
    endProcess(1);
}

std::string CaptureViewModel::outputURL() const {
    return outputPath(args, temporaryDirectory(), workingDirectory(), randomUuid());
}

}  // namespace tavelin
