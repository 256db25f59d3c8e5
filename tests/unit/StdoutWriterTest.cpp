#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <csignal>

#include "core/output/StdoutWriter.h"
#include "support/Files.h"

namespace tavelin {
namespace {

// Captures what the writer puts on its two descriptors.
class WriterTest : public testing::Test {
protected:
    StdoutWriter writer() const { return StdoutWriter(out_.writeFd(), err_.writeFd()); }
    std::string out() { return out_.drain(); }
    std::string err() { return err_.drain(); }

    testing_support::CapturePipe out_;
    testing_support::CapturePipe err_;
    testing_support::TempDirectory dir_;
};

TEST_F(WriterTest, WritesOneLineAndTheFileWithoutTheLineFeed) {
    const std::string path = dir_.path() + "/result.json";
    testing_support::writeFileContents(path, "earlier, longer content that must disappear");
    const WriteOutcome outcome =
        writer().write(PermissionCheckResult{.permissionGranted = true}, path);
    EXPECT_TRUE(std::holds_alternative<Written>(outcome));
    EXPECT_EQ(out(), "{\"status\":\"success\",\"permissionGranted\":true}\n");
    EXPECT_EQ(testing_support::readFileContents(path),
              "{\"status\":\"success\",\"permissionGranted\":true}");
    EXPECT_EQ(err(), "");
}

TEST_F(WriterTest, AFileThatCannotBeWrittenStillLeavesTheRecordOnStandardOutput) {
    const std::string regularFile = dir_.path() + "/file";
    testing_support::writeFileContents(regularFile, "x");
    const std::string unwritable[] = {dir_.path() + "/missing/result.json", dir_.path(),
                                      regularFile + "/below"};
    for (const std::string& path : unwritable) {
        SCOPED_TRACE(path);
        const WriteOutcome outcome = writer().write(PermissionErrorResult{}, path);
        const auto* failed = std::get_if<FileWriteFailed>(&outcome);
        ASSERT_NE(failed, nullptr);
        EXPECT_EQ(failed->path, path);
        EXPECT_EQ(out().back(), '\n');
        const std::string diagnostic = err();
        EXPECT_EQ(diagnostic.rfind("StdoutWriter file write error for '" + path + "': ", 0), 0u)
            << diagnostic;
        EXPECT_EQ(diagnostic.find('\n'), diagnostic.size() - 1);
    }
}

TEST_F(WriterTest, AnEncodeFailureWritesNothingButItsDiagnostic) {
    const std::string path = dir_.path() + "/result.json";
    ResultPayload record;
    record.displayScale = std::nan("");
    const WriteOutcome outcome = writer().write(record, path);
    EXPECT_TRUE(std::holds_alternative<EncodeFailed>(outcome));
    EXPECT_EQ(out(), "");
    EXPECT_EQ(err().rfind("StdoutWriter JSON encode error: ", 0), 0u);
    struct stat info {};
    EXPECT_NE(stat(path.c_str(), &info), 0) << "the output file must not be created";
}

TEST_F(WriterTest, AClosedStandardOutputDoesNotStopTheFile) {
    const std::string path = dir_.path() + "/result.json";
    out_.closeReadEnd();            // the host went away
    std::signal(SIGPIPE, SIG_IGN);  // as the program does at start
    const WriteOutcome outcome = writer().write(PermissionErrorResult{}, path);
    EXPECT_TRUE(std::holds_alternative<Written>(outcome));
    EXPECT_EQ(testing_support::readFileContents(path).substr(0, 17), "{\"status\":\"error\"");
}

}  // namespace
}  // namespace tavelin
