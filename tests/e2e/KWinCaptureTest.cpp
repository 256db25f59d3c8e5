// The program on a private headless KWin (KDE Plasma's compositor): its screenshot interface,
// which serves programs its application database allows, and layer surfaces for the overlay.
// Virtual-0: 1280x800 at the origin, scale 1; Virtual-1: 1280x800 pixels at scale 2 (640x400
// points) to its right.
#include <linux/input-event-codes.h>

#include <filesystem>
#include <thread>

#include "CaptureSession.h"
#include "WaylandCaptureSession.h"
#include "support/KWinCompositor.h"

namespace tavelin {
namespace {

using testing_support::expectOutputContentInPng;
using testing_support::KWinCompositor;
using testing_support::PreplacedCase;
using testing_support::rectJson;

// A run of the program as installed: a desktop entry names it by its path.
class KWinSession {
public:
    KWinSession()
        : kwin_(1280, 800, {testing_support::runnableByTestUser(TAVELIN_CAPTURE_BINARY)}) {
        binary_.switchToTestUser();
        binary_.environment() = kwin_.clientEnvironment(binary_.environment());
    }

    KWinCompositor& kwin() { return kwin_; }
    testing_support::BinaryRun& binary() { return binary_; }

    // Starts a capture and waits until both outputs show the overlay over what they showed,
    // outputContentAt of index `contentIndex + output index`.
    void start(const std::vector<std::string>& arguments, size_t contentIndex = 0) {
        child_ = binary_.start(testing_support::captureArguments(arguments));
        const std::string shown = binary_.privateDirectory() + "/shown.png";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (size_t index = 0; index < kwin_.outputs().size();) {
            if (kwin_.screenshot(index, shown) &&
                testing_support::fractionShowingDimmedContent(
                    shown, contentIndex + index, kwin_.outputs()[index],
                    testing_support::kSampleStride) > 0.5) {
                ++index;
                continue;
            }
            if (!child_->isRunning() || std::chrono::steady_clock::now() > deadline) {
                FAIL() << "no overlay; " << child_->wait(std::chrono::seconds(1)).err;
            }
        }
    }

    testing_support::CaptureOutcome finish() {
        return testing_support::outcomeOf(child_->wait(std::chrono::seconds(15)));
    }

private:
    KWinCompositor kwin_;
    testing_support::BinaryRun binary_;
    std::unique_ptr<testing_support::ChildProcess> child_;
};

// KWin serves the program its entry names without asking anybody; a copy of it elsewhere is
// another program to KWin, and is refused.
TEST(KWinModes, TheInstalledProgramIsServedACopyElsewhereIsNot) {
    KWinSession session;
    EXPECT_EQ(session.binary().run({}).out, testing_support::kGrantedLine);
    EXPECT_EQ(session.binary().run({"--bootstrap-permission"}).out,
              R"({"status":"success","action":"granted"})"
              "\n");

    testing_support::TempDirectory elsewhere;
    const std::string copy = elsewhere.path() + "/tavelin-capture";
    std::filesystem::copy_file(TAVELIN_CAPTURE_BINARY, copy);
    std::filesystem::permissions(elsewhere.path(), std::filesystem::perms::owner_all |
                                                       std::filesystem::perms::group_exec |
                                                       std::filesystem::perms::others_exec);
    session.binary().useProgramAt(copy);
    EXPECT_EQ(session.binary().run({}).out, testing_support::kNotGrantedLine);
    const auto refused = testing_support::outcomeOf(session.binary().run({"--capture"}));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.record["error"], "permission_denied");
}

TEST(KWinCapture, PreplacedSelectionOnEitherOutputIsCutFromItsNativePixels) {
    const PreplacedCase cases[] = {
        {"scale 1", {"--selectionPoints", "100,50,400,300"}, 0, 100, 50, 400, 300, 1},
        {"scale 2",
         {"--displayBounds", "1280,0,640,400", "--selectionPoints", "10,20,200,100"},
         1,
         20,
         40,
         400,
         200,
         2},
    };
    KWinSession session;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--out-dir", session.binary().privateDirectory()});
        session.start(arguments);
        session.kwin().input().tapKey(KEY_ENTER);
        const auto outcome = session.finish();
        testing_support::expectPreplacedCapture(outcome, c);
        EXPECT_EQ(outcome.err, "");
    }
}

// Drawn from the scale-1 output into the scale-2 one: one PNG at the smaller scale, whose part
// on the scale-1 output is that output's pixels.
TEST(KWinCapture, ADragAcrossBothOutputs) {
    KWinSession session;
    session.start({"--out-dir", session.binary().privateDirectory()});
    session.kwin().input().drag(1200, 100, 1400, 300);
    session.kwin().input().tapKey(KEY_ENTER);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    // Measured from the display that holds the selection's centre, the scale-2 one.
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(-80, 100, 200, 200));
    EXPECT_EQ(outcome.record["displayScale"], 1);
    const auto png = testing_support::decodePngFile(outcome.record["imagePath"]);
    ASSERT_TRUE(png);
    ASSERT_EQ(png->width, 200);
    ASSERT_EQ(png->height, 200);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 80; ++x) {
            const uint8_t* p = png->at(x, y);
            ASSERT_EQ((testing_support::Rgb{p[0], p[1], p[2]}),
                      testing_support::outputContentAt(0, 1200 + x, 100 + y))
                << x << "," << y;
        }
    }
}

// An application's fullscreen windows cover both outputs: the overlay goes above them, over the
// screens as they showed them.
TEST(KWinCapture, TheOverlayIsAboveApplicationWindows) {
    KWinSession session;
    session.kwin().showWindows(2);
    session.start({}, 2);
    session.kwin().input().tapKey(KEY_ESC);
    EXPECT_EQ(session.finish().status, 2);
}

// The share of the top 40 points of output `index`, as KWin shows it now, in `green` (a level
// of green, no red or blue).
double greenPanelShare(KWinSession& session, size_t index, int green) {
    const std::string shown = session.binary().privateDirectory() + "/panel.png";
    if (!session.kwin().screenshot(index, shown)) return 0;
    const auto png = testing_support::decodePngFile(shown);
    if (!png) return 0;
    const int rows = int(40 * session.kwin().outputs()[index].scale);
    long matching = 0;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < png->width; ++x) {
            const uint8_t* p = png->at(x, y);
            matching += p[0] <= 1 && std::abs(p[1] - green) <= 1 && p[2] <= 1;
        }
    }
    return double(matching) / (rows * png->width);
}

// A desktop's panel (a top-layer surface along the primary output's top): the overlay goes over
// it, showing it frozen under its scrim.
TEST(KWinCapture, TheOverlayIsAboveAPanel) {
    KWinSession session;
    session.kwin().showPanel();
    ASSERT_GT(greenPanelShare(session, 0, 255), 0.99) << "no panel";
    session.start({});
    EXPECT_GT(greenPanelShare(session, 0, 153), 0.99);
    session.kwin().input().tapKey(KEY_ESC);
    EXPECT_EQ(session.finish().status, 2);
}

TEST(KWinCapture, EscapeCancels) {
    KWinSession session;
    session.start({"--request-id", "r-4"});
    session.kwin().input().tapKey(KEY_ESC);
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, 2) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["status"], "cancelled");
    EXPECT_EQ(outcome.record["requestId"], "r-4");
    EXPECT_EQ(outcome.err, "");
}

}  // namespace
}  // namespace tavelin
