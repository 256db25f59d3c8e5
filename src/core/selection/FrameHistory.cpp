#include "FrameHistory.h"

#include <algorithm>

#include "core/selection/DisplayIdentity.h"
#include "core/selection/InitialSelection.h"
#include "core/text/Trim.h"

namespace tavelin {

void FrameHistory::cycleHistory(bool forward, SelectionState& state, const ScreenList& screens) {
    if (frameHistory.empty()) return;
    const int count = static_cast<int>(frameHistory.size());
    int index = frameHistoryIndex;
    if (forward) {
        index = (index + 1) % count;
    } else {
        index = index <= 0 ? count - 1 : index - 1;
    }
    frameHistoryIndex = index;
    const Rect wanted = historySelection(frameHistory[static_cast<size_t>(index)], screens);
    if (const auto fitted = state.fittedSelection(wanted)) state.selectedRect = fitted;
}

Rect FrameHistory::historySelection(const FrameHistoryEntry& entry, const ScreenList& screens) {
    const Rect primary = primaryFrame(screens);
    const std::string id = trimWhitespace(entry.displayInfo.id);
    const RectDTO& points = entry.selectionPoints;
    const Rect local = Rect{points.x, points.y, points.width, points.height}.standardized();

    Rect candidate;
    Rect fit;
    const auto screen = id.empty() ? std::nullopt : screenForDisplayId(id, screens);
    if (screen) {
        candidate = topLeftToGlobal(local, screen->frame);
        fit = screen->frame;
    } else {
        candidate = centeredSelection(primary, Size{local.width, local.height});
        fit = primary;
    }

    const double availableWidth = fit.absWidth() - 2 * kHistoryMargin;
    const double availableHeight = fit.absHeight() - 2 * kHistoryMargin;
    if (candidate.width <= availableWidth && candidate.height <= availableHeight) return candidate;
    const double width = std::min(availableWidth, candidate.width);
    const double height = std::min(availableHeight, candidate.height);
    return {fit.midX() - width * 0.5, fit.midY() - height * 0.5, width, height};
}

}  // namespace tavelin
