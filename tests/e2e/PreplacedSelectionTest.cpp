#include <cstring>
#include <filesystem>

#include "CaptureSession.h"
#include "RootBackground.h"

namespace tavelin {
namespace {

using testing_support::CaptureSession;
using testing_support::expectPatternInPng;
using testing_support::rectJson;

TEST(PreplacedSelection, PointsOnThePrimaryConfirmedWithReturn) {
    CaptureSession session;
    const std::string out = session.binary().privateDirectory() + "/a.png";
    session.start({"--selectionPoints", "100,50,400,300", "--out", out});
    session.xdotool({"key", "Return"});
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.record["status"], "ok");
    EXPECT_EQ(outcome.record["imagePath"], out);
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(100, 50, 400, 300));
    EXPECT_EQ(outcome.record["selectionPixels"], rectJson(100, 50, 400, 300));
    EXPECT_EQ(outcome.record["displayScale"], 1);
    EXPECT_EQ(outcome.record["displayInfo"]["platform"], "linux");
    EXPECT_EQ(outcome.record["displayInfo"]["id"].get<std::string>().size(), 36u);
    expectPatternInPng(out, 100, 50, 400, 300);
    // Started as hosts start helpers, without $XDG_RUNTIME_DIR: nothing for them to log, and
    // the private runtime directory the program made for itself is gone again.
    EXPECT_EQ(outcome.err, "");
    for (const auto& entry :
         std::filesystem::directory_iterator(session.binary().privateDirectory())) {
        EXPECT_EQ(entry.path(), out) << "left behind in TMPDIR";
    }
}

TEST(PreplacedSelection, ThePngShowsTheScreensAsTheyWereWhenTheRunStarted) {
    CaptureSession session;
    const std::string out = session.binary().privateDirectory() + "/frozen.png";
    session.start({"--selectionPoints", "0,0,1280,800", "--out", out});
    // The desktop changes under the overlay; the capture must not see it.
    const Image grey = Image::allocate(2304, 968);
    std::memset(grey.mutableRow(0), 0x80, grey.stride() * 968);
    tools::setRootBackground(session.display().name(), grey);
    session.xdotool({"key", "Return"});
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    expectPatternInPng(out, 0, 0, 1280, 800);
}

TEST(PreplacedSelection, OnTheDisplayAnEarlierRunReported) {
    CaptureSession session;
    const std::string dir = session.binary().privateDirectory();
    // First run: B named by its bounds (global, from the primary's top-left corner).
    session.start({"--displayBounds", "1280,200,1024,768", "--selectionPoints", "10,20,300,200",
                   "--out", dir + "/first.png"});
    session.xdotool({"key", "Return"});
    const auto first = session.finish();
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.record["selectionPoints"], rectJson(10, 20, 300, 200));
    expectPatternInPng(dir + "/first.png", 1290, 220, 300, 200);
    const std::string idOfB = first.record["displayInfo"]["id"];

    // Second run: B named by that identifier.
    session.start(
        {"--displayId", idOfB, "--selectionPoints", "50,60,100,80", "--out", dir + "/second.png"});
    session.xdotool({"key", "KP_Enter"});
    const auto second = session.finish();
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.record["displayInfo"]["id"], idOfB);
    EXPECT_EQ(second.record["selectionPoints"], rectJson(50, 60, 100, 80));
    expectPatternInPng(dir + "/second.png", 1330, 260, 100, 80);
}

TEST(PreplacedSelection, AnUnknownDisplayFallsBackToACentredSelection) {
    CaptureSession session;
    const std::string out = session.binary().privateDirectory() + "/c.png";
    session.start({"--displayId", "NO-SUCH-DISPLAY", "--out", out});
    session.xdotool({"key", "Return"});
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("TavelinCapture: display id \"NO-SUCH-DISPLAY\" not found; using "
                               "primary display with centered selection.\n"),
              std::string::npos);
    // 75% of 1280x800, limited to 800x600, centred on the primary.
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(240, 100, 800, 600));
    expectPatternInPng(out, 240, 100, 800, 600);
}

TEST(PreplacedSelection, MixedScaleFactors) {
    CaptureSession session(testing_support::kTwoMonitors, {{"QT_SCREEN_SCALE_FACTORS", "A=2;B=1"}});
    const std::string out = session.binary().privateDirectory() + "/s.png";
    // A is 640x400 points at scale 2.
    session.start({"--selectionPoints", "100,50,200,100", "--out", out});
    session.xdotool({"key", "Return"});
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.record["displayScale"], 2);
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(100, 50, 200, 100));
    EXPECT_EQ(outcome.record["selectionPixels"], rectJson(200, 100, 400, 200));
    expectPatternInPng(out, 200, 100, 400, 200);
}

// A selection that covers no point is no selection: the overlay opens without one, and Return
// does nothing until the user draws one.
TEST(PreplacedSelection, OneThatCoversNoPointIsNoSelection) {
    const std::vector<std::string> unusable[] = {
        {"--selectionPoints", "nan,nan,nan,nan"},
        {"--selectionPoints", "1e-320,1e-320,1e-320,1e-320"},
        {"--selectionPoints", "10,10,inf,100"},
        {"--selectionPoints", "10,10,0,100"},
        {"--displayBounds", "1280,200,1024,768", "--selectionPoints", "1e-320,5,1e-320,1e-320"},
    };
    for (const auto& arguments : unusable) {
        SCOPED_TRACE(arguments.back());
        CaptureSession session;
        session.start(arguments);
        session.xdotool({"key", "Return"});
        session.drag(100, 100, 300, 250);
        session.xdotool({"key", "Return"});
        const auto outcome = session.finish();
        EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
        EXPECT_EQ(outcome.record["selectionPoints"], rectJson(100, 100, 200, 150));
    }
}

}  // namespace
}  // namespace tavelin
