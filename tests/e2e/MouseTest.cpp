#include "CaptureSession.h"

namespace tavelin {
namespace {

using testing_support::CaptureSession;
using testing_support::expectPatternInPng;
using testing_support::rectJson;

class Mouse : public testing::Test {
protected:
    std::string out() { return session_.binary().privateDirectory() + "/m.png"; }
    CaptureSession session_;
};

TEST_F(Mouse, DrawMoveResizeThenDoubleClickInside) {
    session_.start({"--out", out()});
    session_.drag(100, 100, 300, 250);  // draw 200x150 at (100, 100)
    session_.drag(150, 150, 200, 170);  // move by (+50, +20)
    session_.drag(350, 200, 400, 200);  // right edge out by 50
    session_.xdotool({"mousemove", "200", "200"});
    session_.xdotool({"click", "--repeat", "2", "--delay", "60", "1"});
    const auto outcome = session_.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(150, 120, 250, 150));
    expectPatternInPng(out(), 150, 120, 250, 150);
}

TEST_F(Mouse, AClickOutsideRemovesTheSelection) {
    session_.start({"--selectionPoints", "100,100,200,100", "--out", out()});
    session_.xdotool({"mousemove", "900", "600"});
    session_.xdotool({"click", "1"});
    session_.xdotool({"key", "Return"});  // passes through: nothing to capture
    session_.xdotool({"key", "Escape"});
    const auto outcome = session_.finish();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.record["status"], "cancelled");
}

TEST_F(Mouse, ADragFromOneMonitorOntoAnotherGivesAComposite) {
    session_.start({"--out", out()});
    session_.drag(1180, 300, 1380, 500);
    session_.xdotool({"key", "Return"});
    const auto outcome = session_.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    // The centre (root 1280, 400) lies on B's left edge: B holds it, and the position is
    // measured from B's top-left corner (root 1280, 200).
    EXPECT_EQ(outcome.record["selectionPoints"], rectJson(-100, 100, 200, 200));
    EXPECT_EQ(outcome.record["displayScale"], 1);
    expectPatternInPng(out(), 1180, 300, 200, 200);
}

}  // namespace
}  // namespace tavelin
