#include "CaptureSession.h"

namespace tavelin {
namespace {

TEST(Faults, TheXServerGoingAwayStillEndsWithOneErrorRecord) {
    testing_support::CaptureSession session;
    const std::string file = session.binary().privateDirectory() + "/record.json";
    session.start({"--request-id", "r-9", "--output-file", file});
    session.display().stop();
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.record["status"], "error");
    EXPECT_EQ(outcome.record["requestId"], "r-9");
    EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;
    EXPECT_EQ(testing_support::readFileContents(file) + "\n", outcome.out);
}

// The toolkit's X11 plugin cannot load (a library only it needs is broken): the capture still
// ends with one record, which names the toolkit's own reason. The permission modes show no
// windows and answer as usual.
TEST(Faults, AToolkitThatCannotStartIsNamedInTheRecord) {
    testing_support::VirtualDisplay display(testing_support::kTwoMonitors);
    testing_support::BinaryRun binary(display.name());
    testing_support::TempDirectory libraries;
    testing_support::writeFileContents(libraries.path() + "/libxcb-icccm.so.4", "");
    binary.environment()["LD_LIBRARY_PATH"] = libraries.path();

    const auto outcome =
        testing_support::outcomeOf(binary.run({"--capture", "--request-id", "r-2"}));
    EXPECT_EQ(outcome.status, 1) << outcome.out << outcome.err;
    EXPECT_EQ(outcome.record["status"], "error");
    EXPECT_EQ(outcome.record["requestId"], "r-2");
    const std::string message = outcome.record.value("errorMessage", "");
    EXPECT_TRUE(message.starts_with("Failed to run the toolkit: ")) << message;
    EXPECT_NE(message.find("Could not load the Qt platform plugin \"xcb\""), std::string::npos)
        << message;
    EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;

    EXPECT_EQ(binary.run({}).out, testing_support::kGrantedLine);
}

// Hosts start helpers with whatever locale they have, often none: the toolkit has nothing to
// say about it.
TEST(Faults, StandardErrorStaysEmptyWhateverTheLocale) {
    const std::map<std::string, std::string> locales[] = {
        {}, {{"LANG", "C"}}, {{"LC_ALL", "C"}}, {{"LANG", "C.UTF-8"}}, {{"LC_ALL", "POSIX"}},
    };
    for (const auto& locale : locales) {
        SCOPED_TRACE(locale.empty() ? "none"
                                    : locale.begin()->first + "=" + locale.begin()->second);
        testing_support::CaptureSession session(testing_support::kTwoMonitors, locale);
        session.start({});
        session.xdotool({"key", "Escape"});
        const auto outcome = session.finish();
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(session.binary().run({}).err, "");
    }
}

// The screens are captured on a thread of their own while the toolkit starts; the environment
// must be set up before, or a change can pull it from under the capture's connection.
TEST(Faults, TheEnvironmentIsSetBeforeTheScreensAreCaptured) {
    testing_support::CaptureSession session(
        testing_support::kTwoMonitors,
        {{"LD_PRELOAD", TAVELIN_ENVIRONMENT_WATCH_LIBRARY},
         // A sanitized program wants its runtime loaded first; the watch only forwards calls.
         {"ASAN_OPTIONS", "verify_asan_link_order=0"}});
    session.start({});
    session.xdotool({"key", "Escape"});
    const auto outcome = session.finish();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "");
}

TEST(Faults, CaptureWithoutADisplay) {
    testing_support::BinaryRun binary;
    const auto result = binary.run({"--capture", "--request-id", "r-1"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(
        result.out,
        R"({"status":"error","error":"permission_denied","message":"Screen recording permission not granted"})"
        "\n");
}

}  // namespace
}  // namespace tavelin
