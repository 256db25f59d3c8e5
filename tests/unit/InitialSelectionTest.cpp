#include <gtest/gtest.h>

#include "core/selection/DisplayIdentity.h"
#include "core/selection/InitialSelection.h"

namespace tavelin {
namespace {

// A 1440x900 primary screen and a 1920x1080 screen to its right whose top is 180 points higher.
const ScreenList kScreens = {
    {"A", {0, 0, 1440, 900}, 2, 1, "6A1F7C2E-3B4D-4E5F-8A9B-0C1D2E3F4A5B"},
    {"B", {1440, -180, 1920, 1080}, 1, 7, std::nullopt},
    {"C", {-800, 0, 800, 600}, 1, std::nullopt, std::nullopt},
};

TEST(DisplayIdentity, UuidElseNumberElseNothing) {
    EXPECT_EQ(displayIdentifier(kScreens[0]), "6A1F7C2E-3B4D-4E5F-8A9B-0C1D2E3F4A5B");
    EXPECT_EQ(displayIdentifier(kScreens[1]), "7");
    EXPECT_FALSE(displayIdentifier(kScreens[2]));
    EXPECT_EQ(displayIdentifierForNumber(5, std::nullopt), "5");

    EXPECT_EQ(screenForDisplayId("  7\n", kScreens)->name, "B");
    EXPECT_EQ(screenForDisplayId("6A1F7C2E-3B4D-4E5F-8A9B-0C1D2E3F4A5B", kScreens)->name, "A");
    EXPECT_FALSE(screenForDisplayId("6a1f7c2e-3b4d-4e5f-8a9b-0c1d2e3f4a5b", kScreens));
    EXPECT_FALSE(screenForDisplayId(" \t", kScreens));
    EXPECT_FALSE(screenForDisplayId("", kScreens)) << "a screen without identifier matches nothing";
}

TEST(ScreenIndexForRect, CentreFirstThenOverlap) {
    const std::vector<Rect> frames = framesOf(kScreens);
    const struct {
        Rect rect;
        std::optional<size_t> expected;
    } cases[] = {
        {{1300, 100, 400, 100}, 1},  // straddles A and B, centre on B
        {{1340, 100, 200, 100}, 1},  // centre exactly on the shared edge x 1440
        {{1000, 100, 200, 100}, 0},
        {{1300, 880, 100, 100}, 0},  // centre above every screen; overlaps A first
        {{5000, 5000, 10, 10}, std::nullopt},
    };
    for (const auto& [rect, expected] : cases) {
        SCOPED_TRACE(testing::Message() << rect.x << "," << rect.y);
        EXPECT_EQ(screenIndexForRect(rect, frames), expected);
    }
    EXPECT_FALSE(screenIndexForRect({0, 0, 1, 1}, {}));
}

struct InitialCase {
    const char* label;
    std::vector<std::string> arguments;
    ScreenList screens;
    std::optional<Rect> expected;
    std::string diagnostic;
};

TEST(InitialSelection, RulesAndFallbacks) {
    const ScreenList hd = {{"P", {0, 0, 1920, 1080}, 1, 1, "P-UUID"}};
    const ScreenList small = {{"P", {0, 0, 800, 600}, 1, 1, "P-UUID"}};
    const ScreenList tiny = {{"P", {0, 0, 120, 100}, 1, 1, "P-UUID"}};
    const std::string notFound =
        "TavelinCapture: display id \"NOPE\" not found; using primary display with centered "
        "selection.\n";
    const InitialCase cases[] = {
        {"nothing given", {}, kScreens, std::nullopt, ""},
        {"points only", {"--selectionPoints", "0,0,100,50"}, kScreens, Rect{0, 850, 100, 50}, ""},
        {"id found, padded",
         {"--displayId", " 7 ", "--selectionPoints", "100,100,400,300"},
         kScreens,
         Rect{1540, 500, 400, 300},
         ""},
        {"id found, bounds ignored",
         {"--displayId", "7", "--displayBounds", "9,9,9,9", "--selectionPoints", "100,100,400,300"},
         kScreens,
         Rect{1540, 500, 400, 300},
         ""},
        {"id found, no points", {"--displayId", "7"}, kScreens, std::nullopt, ""},
        {"id not found, 1920x1080",
         {"--displayId", "NOPE"},
         hd,
         Rect{560, 240, 800, 600},
         notFound},
        {"id not found, 800x600",
         {"--displayId", "NOPE"},
         small,
         Rect{100, 75, 600, 450},
         notFound},
        {"id not found, 120x100", {"--displayId", "NOPE"}, tiny, Rect{10, 0, 100, 100}, notFound},
        {"id not found, points too large",
         {"--displayId", "NOPE", "--selectionPoints", "10,10,3000,2000"},
         hd,
         Rect{0, 0, 1920, 1080},
         notFound},
        {"bounds match",
         {"--displayBounds", "1440,0,1920,1080", "--selectionPoints", "100,100,400,300"},
         kScreens,
         Rect{1540, 500, 400, 300},
         ""},
        {"bounds within tolerance",
         {"--displayBounds", "1440.5,-0.5,1920.5,1079.5", "--selectionPoints", "100,100,400,300"},
         kScreens,
         Rect{1540, 500, 400, 300},
         ""},
        {"bounds off by 1.5",
         {"--displayBounds", "1441.5,0,1920,1080", "--selectionPoints", "100,100,400,300"},
         kScreens,
         Rect{100, 500, 400, 300},
         "TavelinCapture: display bounds \"1441.5,0.0,1920.0,1080.0\" not found; using primary "
         "display.\n"},
        {"bounds standardised in the message",
         {"--displayBounds", "-12.5,3,-100,-0.25"},
         kScreens,
         std::nullopt,
         "TavelinCapture: display bounds \"-12.5,3.0,100.0,0.25\" not found; using primary "
         "display.\n"},
        {"no screens", {"--selectionPoints", "10,20,30,40"}, {}, Rect{10, 1020, 30, 40}, ""},
    };
    for (const InitialCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), "tavelin-capture");
        std::string diagnostics;
        const auto selection =
            initialSelection(CaptureArgs::parse(arguments), c.screens,
                             [&](std::string_view line) { diagnostics += line; });
        EXPECT_EQ(selection, c.expected);
        EXPECT_EQ(diagnostics, c.diagnostic);
    }
}

TEST(InitialSelection, ShortestDecimalText) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0.0"}, {1920, "1920.0"},  {-12.5, "-12.5"},
        {0.1, "0.1"}, {1e300, "1e+300"}, {1.0 / 3, "0.3333333333333333"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(shortestDecimalText(value), text);
}

}  // namespace
}  // namespace tavelin
