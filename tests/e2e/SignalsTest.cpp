// Hosts stop a helper with SIGTERM when they give up on it, terminals with SIGINT and SIGHUP; a
// run killed outright leaves nothing behind for long.
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <thread>

#include "CaptureSession.h"

namespace tavelin {
namespace {

using testing_support::CaptureSession;

// The names in `directory`.
std::set<std::string> namesIn(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(Signals, AStopUnderTheOverlayEndsAsACancellation) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        CaptureSession session;
        const std::string file = session.binary().privateDirectory() + "/record.json";
        session.start({"--request-id", "r-5", "--output-file", file});
        session.signal(signal);
        const auto outcome = session.finish();
        EXPECT_EQ(outcome.status, 2) << outcome.out << outcome.err;
        EXPECT_EQ(outcome.record["status"], "cancelled");
        EXPECT_EQ(outcome.record["requestId"], "r-5");
        EXPECT_FALSE(outcome.record.contains("imagePath"));
        EXPECT_EQ(testing_support::readFileContents(file) + "\n", outcome.out);
        EXPECT_EQ(outcome.err, "");
        // The private runtime directory went with the run.
        EXPECT_EQ(namesIn(session.binary().privateDirectory()),
                  std::set<std::string>{"record.json"});
    }
}

// The user confirmed before the host gave up: the selection is saved and reported all the same.
TEST(Signals, AStopDuringTheSaveStillReportsTheSavedSelection) {
    // A whole 4K monitor, so that the save is still under way when the stop arrives.
    CaptureSession session({{"A", 0, 0, 3840, 2160}});
    const std::string out = session.binary().privateDirectory() + "/saved.png";
    session.start({"--selectionPoints", "0,0,3840,2160", "--out", out});
    session.xdotool({"key", "Return"});
    session.awaitOverlayGone();
    session.signal(SIGTERM);
    const auto outcome = session.finish();
    ASSERT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["status"], "ok");
    EXPECT_EQ(outcome.record["imagePath"], out);
    testing_support::expectPatternInPng(out, 0, 0, 3840, 2160);
}

// A host that gives up twice means it: the second signal ends the run at once, with no record.
TEST(Signals, ASecondSignalWhileEndingEndsTheRunAtOnce) {
    CaptureSession session;
    session.start({});
    session.signal(SIGSTOP);
    session.signal(SIGINT);
    session.signal(SIGTERM);
    session.signal(SIGCONT);
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, -1);
    EXPECT_TRUE(outcome.signal == SIGINT || outcome.signal == SIGTERM) << outcome.signal;
    EXPECT_EQ(outcome.out, "");
}

// The check answers within milliseconds: stopped at any moment it gives its true answer or none,
// never another, and leaves nothing behind.
TEST(Signals, AStoppedPermissionCheckGivesItsTrueAnswerOrNone) {
    testing_support::VirtualDisplay display(testing_support::kTwoMonitors);
    testing_support::BinaryRun binary(display.name());
    for (const int delayMs : {0, 2, 5, 10, 20, 40}) {
        SCOPED_TRACE(delayMs);
        const auto check = binary.start({});
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        check->kill(SIGTERM);
        const auto result = check->wait(std::chrono::seconds(5));
        if (result.signal == SIGTERM) {
            EXPECT_EQ(result.out, "");
        } else {
            EXPECT_EQ(result.exitStatus, 0);
            EXPECT_EQ(result.out, testing_support::kGrantedLine);
        }
        EXPECT_TRUE(namesIn(binary.privateDirectory()).empty());
    }
}

// SIGKILL cannot be caught: the runtime directory a killed run made for itself goes at the next
// start.
TEST(Signals, AKilledRunsRuntimeDirectoryGoesAtTheNextStart) {
    CaptureSession session;
    const std::string temporary = session.binary().privateDirectory();
    session.start({});
    session.signal(SIGKILL);
    EXPECT_EQ(session.finish().signal, SIGKILL);
    const auto left = namesIn(temporary);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left.begin()->starts_with("tavelin-capture-runtime-")) << *left.begin();

    const auto check = session.binary().run({});
    EXPECT_EQ(check.out, testing_support::kGrantedLine);
    EXPECT_EQ(check.err, "");
    EXPECT_TRUE(namesIn(temporary).empty());
}

}  // namespace
}  // namespace tavelin
