// The program on a headless Wayland compositor with outputs of scale 1 and 2.
#include <linux/input-event-codes.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <thread>

#include "WaylandCaptureSession.h"
#include "support/TestUser.h"

namespace tavelin {
namespace {

using testing_support::expectOutputContentInPng;
using testing_support::HeadlessCompositor;
using testing_support::kAppId;
using testing_support::outputContentAt;
using testing_support::PreplacedCase;
using testing_support::rectJson;
using testing_support::WaylandCaptureSession;

// The overlay is a layer surface on each output, above every window: the compositor's layout
// holds no window of ours.
TEST(WaylandCapture, OverlayCoversEveryOutputOnTheOverlayLayer) {
    WaylandCaptureSession session;
    session.start({});
    EXPECT_TRUE(session.compositor().windowsOf(kAppId).empty());
    for (size_t index = 0; index < session.compositor().outputs().size(); ++index) {
        SCOPED_TRACE(index);
        // The frozen picture under the scrim, one image pixel per device pixel also at scale 2:
        // every pixel but the toolbar's is the content darkened by the scrim.
        EXPECT_GT(session.fractionShowingDimmedContent(index, 1), 0.98);
    }
    session.compositor().input().tapKey(KEY_ESC);
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, 2) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.out.find("Failed"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.record["status"], "cancelled");
    // Running the toolkit without a shell of its own is ours to know, not the host's to read.
    EXPECT_EQ(outcome.err, "");
}

TEST(WaylandCapture, PreplacedSelectionOnEitherOutputIsCutFromItsNativePixels) {
    const PreplacedCase cases[] = {
        {"scale 1", {"--selectionPoints", "100,50,400,300"}, 0, 100, 50, 400, 300, 1},
        {"scale 2",
         {"--displayBounds", "1280,0,512,384", "--selectionPoints", "10,20,200,100"},
         1,
         20,
         40,
         400,
         200,
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WaylandCaptureSession session;
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--out-dir", session.binary().privateDirectory()});
        session.start(arguments);
        session.compositor().input().tapKey(KEY_ENTER);
        testing_support::expectPreplacedCapture(session.finish(), c);
    }
}

TEST(WaylandCapture, SelectionDrawnWithThePointer) {
    WaylandCaptureSession session;
    session.start({"--out-dir", session.binary().privateDirectory()});
    session.compositor().input().drag(200, 150, 600, 450);
    session.compositor().input().tapKey(KEY_ENTER);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(200, 150, 400, 300));
    expectOutputContentInPng(outcome.record["imagePath"], 0, 200, 150, 400, 300);
}

// What the user does the moment the screens freeze counts, although the overlay's windows can
// hardly have drawn by then: the program is stopped as it is first seen frozen, the pointer and
// keyboard act while it cannot answer, then it goes on.
TEST(WaylandCapture, InputFromTheMomentTheScreensFreezeIsKept) {
    WaylandCaptureSession session;
    session.startAndStopAtTheFreeze({"--out-dir", session.binary().privateDirectory()});
    session.compositor().input().drag(200, 150, 600, 450);
    session.compositor().input().tapKey(KEY_RIGHT);
    session.compositor().input().tapKey(KEY_ENTER);
    session.signal(SIGCONT);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(201, 150, 400, 300));
    expectOutputContentInPng(outcome.record["imagePath"], 0, 201, 150, 400, 300);
    EXPECT_EQ(outcome.err, "");
}

// A drag begun the moment the screens freeze and ended well after the overlay's windows have
// drawn is one drag, and a key right after it counts: the button went down before the windows
// existed, and the key comes as the frozen screens' first surfaces give way to them.
TEST(WaylandCapture, ADragBegunAsTheScreensFreezeEndsWhereItIsReleased) {
    WaylandCaptureSession session;
    session.startAndStopAtTheFreeze({"--out-dir", session.binary().privateDirectory()});
    session.compositor().input().movePointer(300, 200);
    session.compositor().input().pressButton();
    session.compositor().input().movePointer(400, 300);
    session.signal(SIGCONT);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    session.compositor().input().movePointer(700, 500);
    session.compositor().input().releaseButton();
    session.compositor().input().tapKey(KEY_ENTER);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(300, 200, 400, 300));
    EXPECT_EQ(outcome.err, "");
}

// The drag starts on the scale-1 output and ends on the scale-2 one: the PNG takes the smaller
// scale, so the scale-2 part is each 2x2 block of native pixels averaged.
TEST(WaylandCapture, DragAcrossOutputsOfDifferentScalesGivesOneComposite) {
    WaylandCaptureSession session;
    session.start({"--out-dir", session.binary().privateDirectory()});
    session.compositor().input().drag(1200, 100, 1400, 300);
    session.compositor().input().tapKey(KEY_ENTER);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    // Reported relative to the output holding the centre (x = 1300: the second one).
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(-80, 100, 200, 200));
    EXPECT_EQ(outcome.record["displayScale"], 1);

    const auto png = testing_support::decodePngFile(outcome.record["imagePath"]);
    ASSERT_TRUE(png);
    ASSERT_EQ(png->width, 200);
    ASSERT_EQ(png->height, 200);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            const uint8_t* p = png->at(x, y);
            const int globalX = 1200 + x;
            const int globalY = 100 + y;
            if (globalX < 1280) {
                ASSERT_EQ((testing_support::Rgb{p[0], p[1], p[2]}),
                          outputContentAt(0, globalX, globalY))
                    << x << "," << y;
                continue;
            }
            const int nativeX = (globalX - 1280) * 2;
            const int nativeY = globalY * 2;
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy) {
                    for (int dx = 0; dx < 2; ++dx) {
                        const auto c = outputContentAt(1, nativeX + dx, nativeY + dy);
                        sum += channel == 0 ? c.r : channel == 1 ? c.g : c.b;
                    }
                }
                ASSERT_NEAR(p[channel], sum / 4.0, 1.0) << x << "," << y << " channel " << channel;
            }
        }
    }
}

TEST(WaylandCapture, PicksTheCompositorEvenWhenAnXDisplayIsSet) {
    testing_support::VirtualDisplay xDisplay({{"X", 0, 0, 640, 480}});
    WaylandCaptureSession session;
    session.binary().environment()["DISPLAY"] = xDisplay.name();
    session.start(
        {"--selectionPoints", "0,0,64,48", "--out-dir", session.binary().privateDirectory()});
    session.compositor().input().tapKey(KEY_ENTER);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    expectOutputContentInPng(outcome.record["imagePath"], 0, 0, 0, 64, 48);
}

TEST(WaylandModes, PermissionIsGrantedWhereTheCompositorOffersCapture) {
    WaylandCaptureSession session;
    EXPECT_EQ(session.binary().run({}).out, testing_support::kGrantedLine);
    EXPECT_EQ(session.binary().run({"--bootstrap-permission"}).out,
              R"({"status":"success","action":"granted"})"
              "\n");
}

// Hosts store displayInfo.id and hand it back in later runs, against a restarted compositor.
TEST(WaylandIdentity, OutputIdsAreDistinctAndSurviveACompositorRestart) {
    const auto captureId = [](WaylandCaptureSession& session,
                              const std::vector<std::string>& arguments) {
        std::vector<std::string> all = arguments;
        all.insert(all.end(), {"--out-dir", session.binary().privateDirectory()});
        session.start(all);
        session.compositor().input().tapKey(KEY_ENTER);
        return session.finish();
    };
    std::string firstId;
    std::string secondId;
    {
        WaylandCaptureSession session;
        firstId =
            captureId(session, {"--selectionPoints", "0,0,10,10"}).record["displayInfo"]["id"];
        secondId = captureId(session, {"--displayBounds", "1280,0,512,384", "--selectionPoints",
                                       "0,0,10,10"})
                       .record["displayInfo"]["id"];
    }
    EXPECT_NE(firstId, secondId);
    EXPECT_EQ(firstId.size(), 36u);

    WaylandCaptureSession restarted;
    const auto outcome =
        captureId(restarted, {"--displayId", secondId, "--selectionPoints", "10,20,200,100"});
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["displayInfo"]["id"], secondId);
    expectOutputContentInPng(outcome.record["imagePath"], 1, 20, 40, 400, 200);
}

}  // namespace
}  // namespace tavelin

namespace tavelin {
namespace {

TEST(WaylandFaults, TheCompositorGoingAwayStillEndsWithOneErrorRecord) {
    WaylandCaptureSession session;
    const std::string file = session.binary().privateDirectory() + "/record.json";
    session.start({"--request-id", "r-9", "--output-file", file});
    session.compositor().stop();
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 1) << outcome.out << outcome.err;
    ASSERT_TRUE(outcome.record.is_object()) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["errorMessage"], "Lost the connection to the Wayland compositor");
    EXPECT_EQ(outcome.record["requestId"], "r-9");
    EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;
    EXPECT_EQ(testing_support::readFileContents(file) + "\n", outcome.out);
}

// The screens freeze on a thread of their own while the toolkit starts; the environment must be
// set up before, or a change can pull it from under the capture's connection.
TEST(WaylandFaults, TheEnvironmentIsSetBeforeTheScreensAreCaptured) {
    WaylandCaptureSession session;
    auto& environment = session.binary().environment();
    environment["LD_PRELOAD"] =
        testing_support::runnableByTestUser(TAVELIN_ENVIRONMENT_WATCH_LIBRARY);
    // A sanitized program wants its runtime loaded first; the watch only forwards calls.
    environment["ASAN_OPTIONS"] = "verify_asan_link_order=0";
    session.start({});
    session.compositor().input().tapKey(KEY_ESC);
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "");
}

// The output goes away under its overlay window: the run goes on with the other one, and ends
// with one record.
TEST(WaylandFaults, AnOutputRemovedUnderTheOverlay) {
    WaylandCaptureSession session;
    session.start({"--out-dir", session.binary().privateDirectory()});
    session.compositor().disableOutput(1);
    session.compositor().input().drag(100, 100, 300, 200);
    session.compositor().input().tapKey(KEY_ENTER);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;
    expectOutputContentInPng(outcome.record["imagePath"], 0, 100, 100, 200, 100);
}

// The compositor ends once the user confirmed: the frozen screenshots hold the selection, so it
// is saved and reported (or, when the toolkit notices first, the loss is); one record either way.
TEST(WaylandFaults, TheCompositorGoingAwayDuringTheSave) {
    WaylandCaptureSession session;
    session.start(
        {"--selectionPoints", "0,0,600,400", "--out-dir", session.binary().privateDirectory()});
    session.compositor().input().tapKey(KEY_ENTER);
    session.compositor().stop();
    const auto outcome = session.finish();
    ASSERT_TRUE(outcome.record.is_object())
        << "status " << outcome.status << ", signal " << outcome.signal << "\n"
        << outcome.out << outcome.err;
    EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;
    if (outcome.status == 0) {
        expectOutputContentInPng(outcome.record["imagePath"], 0, 0, 0, 600, 400);
    } else {
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.record["errorMessage"], "Lost the connection to the Wayland compositor");
    }
}

TEST(WaylandSignals, AStopUnderTheOverlayEndsAsACancellation) {
    WaylandCaptureSession session;
    session.start({"--request-id", "r-5"});
    session.signal(SIGTERM);
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, 2) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["status"], "cancelled");
    EXPECT_EQ(outcome.record["requestId"], "r-5");
    EXPECT_EQ(outcome.err, "");
}

TEST(WaylandSignals, AStopDuringTheSaveStillReportsTheSavedSelection) {
    WaylandCaptureSession session;
    session.start(
        {"--selectionPoints", "0,0,600,400", "--out-dir", session.binary().privateDirectory()});
    session.compositor().input().tapKey(KEY_ENTER);
    session.awaitOverlayGone(0);
    session.signal(SIGTERM);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    expectOutputContentInPng(outcome.record["imagePath"], 0, 0, 0, 600, 400);
}

// Started without $XDG_RUNTIME_DIR (the compositor named by its socket's path), the program
// makes a runtime directory of its own; one that a killed run left goes at the next start.
TEST(WaylandSignals, AKilledRunsRuntimeDirectoryGoesAtTheNextStart) {
    WaylandCaptureSession session;
    auto& environment = session.binary().environment();
    environment["WAYLAND_DISPLAY"] =
        environment["XDG_RUNTIME_DIR"] + "/" + environment["WAYLAND_DISPLAY"];
    environment.erase("XDG_RUNTIME_DIR");
    const auto runtimeDirectories = [&] {
        int count = 0;
        for (const auto& entry :
             std::filesystem::directory_iterator(session.binary().privateDirectory())) {
            count += entry.path().filename().string().starts_with("tavelin-capture-runtime-");
        }
        return count;
    };
    session.start({});
    session.signal(SIGKILL);
    EXPECT_EQ(session.finish().signal, SIGKILL);
    ASSERT_EQ(runtimeDirectories(), 1);

    const auto check = session.binary().run({});
    EXPECT_EQ(check.out, testing_support::kGrantedLine);
    EXPECT_EQ(check.err, "");
    EXPECT_EQ(runtimeDirectories(), 0);
}

}  // namespace
}  // namespace tavelin
