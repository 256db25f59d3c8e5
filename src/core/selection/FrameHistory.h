#pragma once

#include <vector>

#include "core/output/Records.h"
#include "core/screens/Screen.h"
#include "core/selection/SelectionState.h"

namespace tavelin {

// Earlier selections the host handed back, stepped through from the keyboard.
class FrameHistory {
public:
    static constexpr double kHistoryMargin = 20;  // points kept free on every side of a screen

    explicit FrameHistory(std::vector<FrameHistoryEntry> entries = {})
        : frameHistory(std::move(entries)) {}

    // Steps to the next (or previous) entry, wrapping around, and selects it when it fits.
    // The new position is kept even when the selection cannot change.
    void cycleHistory(bool forward, SelectionState& state, const ScreenList& screens);

    // The global rectangle an entry stands for: on its display when that is found, else
    // centred on the primary screen; shrunk and centred when it would crowd the margins.
    static Rect historySelection(const FrameHistoryEntry& entry, const ScreenList& screens);

    std::vector<FrameHistoryEntry> frameHistory;
    int frameHistoryIndex = -1;  // the entry last applied; -1 before the first step
};

}  // namespace tavelin
