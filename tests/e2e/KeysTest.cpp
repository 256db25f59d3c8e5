#include <xcb/xcb.h>

#include <cstdlib>

#include "CaptureSession.h"

namespace tavelin {
namespace {

using testing_support::CaptureSession;
using testing_support::rectJson;

TEST(Keys, EscapeCancels) {
    CaptureSession session;
    session.start({"--selectionPoints", "10,10,100,100"});
    session.xdotool({"key", "Escape"});
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.record.size(), 3u) << outcome.out;  // status, mimeType, timestamp
    EXPECT_EQ(outcome.record["status"], "cancelled");
    EXPECT_EQ(outcome.record["mimeType"], "image/png");
    EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << "one line only";
}

TEST(Keys, ArrowsNudgeByOneOrTenPoints) {
    CaptureSession session;
    const std::string out = session.binary().privateDirectory() + "/k.png";
    session.start({"--selectionPoints", "100,100,200,100", "--out", out});
    session.xdotool({"key", "Left", "Left", "shift+Down", "Up", "shift+Right"});
    session.xdotool({"key", "Return"});
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    // x: -1 -1 +10; y (down the screen): +10 -1.
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(108, 109, 200, 100));
    testing_support::expectPatternInPng(out, 108, 109, 200, 100);
}

TEST(Keys, RAndShiftRStepThroughTheHistory) {
    const std::string history =
        R"([{"selectionPoints":{"x":10,"y":10,"width":100,"height":50},"displayInfo":{"id":"","platform":"linux"}},)"
        R"({"selectionPoints":{"x":10,"y":10,"width":200,"height":50},"displayInfo":{"id":"","platform":"linux"}},)"
        R"({"selectionPoints":{"x":10,"y":10,"width":300,"height":50},"displayInfo":{"id":"","platform":"linux"}}])";
    const struct {
        std::vector<std::string> keys;
        double width;
    } cases[] = {{{"r"}, 100},
                 {{"r", "r"}, 200},
                 {{"shift+r"}, 300},
                 {{"r", "r", "r", "r"}, 100},
                 {{"r", "shift+r", "shift+r"}, 200}};
    CaptureSession session;
    for (const auto& [keys, width] : cases) {
        SCOPED_TRACE(width);
        session.start({"--frameHistory", history});
        std::vector<std::string> command{"key"};
        command.insert(command.end(), keys.begin(), keys.end());
        session.xdotool(command);
        session.xdotool({"key", "Return"});
        const auto outcome = session.finish();
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        // Entries whose display is not found are centred on the primary (1280x800).
        EXPECT_EQ(outcome.record["selectionPoints"], rectJson(640 - width / 2, 375, width, 50));
    }
}

TEST(Keys, TheOverlayTakesTheKeyboardOnceAnotherClientLetsGo) {
    CaptureSession session;
    // Another client (a hot-key daemon, say) holds the keyboard as the overlay opens.
    xcb_connection_t* holder = xcb_connect(session.display().name().c_str(), nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(holder)).data->root;
    std::free(xcb_grab_keyboard_reply(holder,
                                      xcb_grab_keyboard(holder, 0, root, XCB_CURRENT_TIME,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                      nullptr));
    session.start({});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    xcb_ungrab_keyboard(holder, XCB_CURRENT_TIME);
    xcb_flush(holder);
    bool taken = false;
    for (int wait = 0; wait < 500 && !taken; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        taken = session.display().keyboardIsGrabbed();
    }
    ASSERT_TRUE(taken) << "the overlay never took the keyboard";
    session.xdotool({"key", "Escape"});
    EXPECT_EQ(session.finish().status, 2);
    xcb_disconnect(holder);
}

TEST(Keys, ReturnWithoutASelectionDoesNothing) {
    CaptureSession session;
    session.start({});
    session.xdotool({"key", "Return"});
    session.xdotool({"key", "Escape"});
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, 2);
}

// Once the user confirmed, the selection is saved even when Escape follows before the overlay
// is gone: the run does not end cancelled with a file written behind the host's back.
TEST(Keys, EscapeRightAfterReturnStillSaves) {
    CaptureSession session;
    const std::string out = session.binary().privateDirectory() + "/k.png";
    session.start({"--selectionPoints", "100,100,200,100", "--out", out});
    session.xdotool({"key", "--delay", "0", "Return", "Escape"});
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    testing_support::expectPatternInPng(out, 100, 100, 200, 100);
}

}  // namespace
}  // namespace tavelin
