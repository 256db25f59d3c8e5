#include <gtest/gtest.h>

#include "core/selection/FrameHistory.h"
#include "support/RecordingCursor.h"

namespace tavelin {
namespace {

const ScreenList kScreens = {{"A", {0, 0, 1440, 900}, 2, 1, "ID-A"},
                             {"B", {1440, -180, 1920, 1080}, 1, 2, "ID-B"}};

FrameHistoryEntry entry(const std::string& id, RectDTO points) {
    return {points, std::nullopt, {id, "linux"}};
}

TEST(FrameHistory, PlacesEntriesOnTheirDisplayOrCentredOnThePrimary) {
    const struct {
        const char* label;
        FrameHistoryEntry entry;
        Rect expected;
    } cases[] = {
        {"on A", entry("ID-A", {100, 50, 400, 300}), {100, 550, 400, 300}},
        {"on B, id padded", entry(" ID-B\n", {10, 20, 100, 100}), {1450, 780, 100, 100}},
        {"too large: shrunk and centred", entry("ID-A", {0, 0, 2000, 1200}), {20, 20, 1400, 860}},
        {"unknown display", entry("ID-X", {5, 5, 400, 300}), {520, 300, 400, 300}},
        {"blank display", entry("  ", {5, 5, 400, 300}), {520, 300, 400, 300}},
        {"negative size folded", entry("ID-A", {500, 400, -400, -300}), {100, 500, 400, 300}},
    };
    for (const auto& [label, e, expected] : cases) {
        SCOPED_TRACE(label);
        EXPECT_EQ(FrameHistory::historySelection(e, kScreens), expected);
    }
    EXPECT_EQ(FrameHistory::historySelection(entry("ID-A", {0, 0, 400, 300}), {}),
              (Rect{760, 390, 400, 300}));
}

class Cycling : public testing::Test {
protected:
    std::vector<int> steps(FrameHistory& history, std::vector<bool> directions) {
        std::vector<int> visited;
        for (bool forward : directions) {
            history.cycleHistory(forward, state_, kScreens);
            visited.push_back(history.frameHistoryIndex);
        }
        return visited;
    }

    testing_support::RecordingCursor cursor_;
    SelectionState state_{{kScreens[0].frame, kScreens[1].frame}, std::nullopt, cursor_};
};

TEST_F(Cycling, WrapsBothWays) {
    const std::vector<FrameHistoryEntry> three = {entry("ID-A", {0, 0, 100, 100}),
                                                  entry("ID-A", {10, 0, 100, 100}),
                                                  entry("ID-B", {0, 0, 100, 100})};
    FrameHistory forward(three);
    EXPECT_EQ(steps(forward, {true, true, true, true}), (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(state_.selectedRect.get(), (Rect{0, 800, 100, 100}));
    FrameHistory backward(three);
    EXPECT_EQ(steps(backward, {false, false, false, false}), (std::vector<int>{2, 1, 0, 2}));
    EXPECT_EQ(state_.selectedRect.get(), (Rect{1440, 800, 100, 100}));

    FrameHistory single({entry("ID-A", {0, 0, 100, 100})});
    EXPECT_EQ(steps(single, {true, false, false, true}), (std::vector<int>{0, 0, 0, 0}));

    FrameHistory empty;
    state_.selectedRect = Rect{1, 1, 50, 50};
    EXPECT_EQ(steps(empty, {true, false}), (std::vector<int>{-1, -1}));
    EXPECT_EQ(state_.selectedRect.get(), (Rect{1, 1, 50, 50}));
}

TEST_F(Cycling, AnEntryWithoutAreaKeepsTheSelectionButMovesTheIndex) {
    FrameHistory history({entry("ID-A", {0, 0, 100, 100}), entry("ID-A", {0, 0, 0, 100}),
                          entry("ID-A", {1e-320, 1e-320, 1e-320, 1e-320})});
    history.cycleHistory(true, state_, kScreens);
    for (int index : {1, 2}) {
        history.cycleHistory(true, state_, kScreens);
        EXPECT_EQ(history.frameHistoryIndex, index);
        EXPECT_EQ(state_.selectedRect.get(), (Rect{0, 800, 100, 100}));
    }
}

}  // namespace
}  // namespace tavelin
