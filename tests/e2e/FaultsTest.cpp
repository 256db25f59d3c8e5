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
