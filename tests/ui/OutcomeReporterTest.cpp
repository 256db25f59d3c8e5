#include <gtest/gtest.h>

#include "support/Files.h"
#include "ui/app/OutcomeReporter.h"

namespace tavelin {
namespace {

// The first outcome is the run's: a later one, such as a display lost while the process ends,
// writes nothing more, though its status is still answered.
TEST(OutcomeReporter, DeliversOneRecordToStandardOutputAndTheFile) {
    testing_support::TempDirectory directory;
    const std::string file = directory.path() + "/record.json";
    setOutputFile(file);
    CaptureArgs args;
    args.requestId = "r-5";
    testing::internal::CaptureStdout();
    EXPECT_EQ(deliverOutcome(cancelledOutcome(args, "2026-12-10T21:00:00Z")), 2);
    EXPECT_EQ(deliverOutcome(captureErrorOutcome("Lost the connection to the display", args, "t")),
              1);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string record =
        R"({"status":"cancelled","requestId":"r-5","mimeType":"image/png","timestamp":"2026-12-10T21:00:00Z"})";
    EXPECT_EQ(out, record + "\n");
    EXPECT_EQ(testing_support::readFileContents(file), record);
}

}  // namespace
}  // namespace tavelin
