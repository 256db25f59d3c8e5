// Screenshots of every output through wlr-screencopy.
#include <algorithm>
#include <chrono>
#include <future>
#include <map>
#include <memory>
#include <vector>

#include "ScreencopyFrame.h"
#include "WaylandCurtain.h"
#include "WaylandPlatform.h"
#include "WaylandSession.h"
#include "core/image/Scrim.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace tavelin {
namespace {

// A copy normally takes one frame of the compositor; this bounds a compositor that hangs.
constexpr std::chrono::milliseconds kCaptureTimeout{5000};

bool canCapture(const WaylandSession& session) {
    return session.screencopy() && session.shm() && !session.outputs().empty();
}

// Waits until every frame is finished; frames still open when the wait fails carry its reason.
void awaitFrames(WaylandSession& session,
                 const std::vector<std::unique_ptr<ScreencopyFrame>>& frames) {
    std::string failure;
    const bool finished = session.dispatchUntil(
        [&] {
            return std::all_of(frames.begin(), frames.end(),
                               [](const auto& frame) { return frame->isFinished(); });
        },
        kCaptureTimeout, failure);
    if (finished) return;
    for (const auto& frame : frames) frame->fail(failure);
}

// The screenshot, out of the memory the curtain now shows dimmed. The toolkit's windows wait
// for it, so it is made on two threads.
Image restoredFromUnderTheCurtain(const Image& dimmed) {
    const Image restored = Image::allocate(dimmed.width(), dimmed.height());
    const auto restoreRows = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            restoreFromScrim(reinterpret_cast<const uint32_t*>(dimmed.row(y)),
                             reinterpret_cast<uint32_t*>(restored.mutableRow(y)),
                             size_t(dimmed.width()));
        }
    };
    const int middle = dimmed.height() / 2;
    auto upperHalf = std::async(std::launch::async, restoreRows, 0, middle);
    restoreRows(middle, dimmed.height());
    upperHalf.get();
    return restored.asOpaque();
}

}  // namespace

bool canCaptureWaylandScreens() {
    const auto session = WaylandSession::connect();
    if (!session || !canCapture(*session)) return false;
    std::vector<std::unique_ptr<ScreencopyFrame>> probe;
    probe.push_back(std::make_unique<ScreencopyFrame>(
        zwlr_screencopy_manager_v1_capture_output_region(
            session->screencopy(), 0, session->outputs().front().handle, 0, 0, 1, 1),
        session->shm()));
    awaitFrames(*session, probe);
    return probe.front()->image().has_value();
}

Result<ScreenshotMap, CaptureFailure> captureWaylandScreens(
    std::FILE* failureLines, std::unique_ptr<WaylandCurtain>* curtain) {
    const std::shared_ptr<WaylandSession> session = WaylandSession::connect();
    if (!session || !canCapture(*session)) return CaptureFailure(CaptureError::permissionDenied);

    // Every output is asked at once, so the copies of all outputs overlap.
    std::vector<std::unique_ptr<ScreencopyFrame>> frames;
    for (const WaylandOutput& output : session->outputs()) {
        frames.push_back(std::make_unique<ScreencopyFrame>(
            zwlr_screencopy_manager_v1_capture_output(session->screencopy(), 0, output.handle),
            session->shm()));
    }
    // The curtain's surfaces are made and configured while the compositor copies.
    std::unique_ptr<WaylandCurtain> pending = curtain ? WaylandCurtain::prepare(session) : nullptr;
    awaitFrames(*session, frames);

    ScreenshotMap screenshots;
    for (size_t index = 0; index < frames.size(); ++index) {
        const WaylandOutput& output = session->outputs()[index];
        if (const auto& image = frames[index]->image()) {
            screenshots[screenName(output)] = *image;
        } else {
            std::fprintf(failureLines, "Failed to capture display %s: %s\n",
                         screenName(output).c_str(), frames[index]->failure().c_str());
        }
    }
    if (screenshots.empty()) return CaptureFailure(CaptureError::captureFailed);
    if (pending) {
        std::map<std::string, const ShmBuffer*> copies;
        for (size_t index = 0; index < frames.size(); ++index) {
            if (frames[index]->image()) {
                copies[screenName(session->outputs()[index])] = &frames[index]->memory();
            }
        }
        if (pending->show(copies)) {
            for (auto& [name, screenshot] : screenshots) {
                screenshot = restoredFromUnderTheCurtain(screenshot);
            }
            *curtain = std::move(pending);
        }
    }
    return screenshots;
}

}  // namespace tavelin
