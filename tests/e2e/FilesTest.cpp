#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "CaptureSession.h"

namespace tavelin {
namespace {

namespace fs = std::filesystem;
using testing_support::CaptureSession;

class Files : public testing::Test {
protected:
    testing_support::CaptureOutcome captureWith(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--selectionPoints", "10,10,50,40"});
        session_.start(arguments);
        session_.xdotool({"key", "Return"});
        return session_.finish();
    }
    std::string dir() { return session_.binary().privateDirectory(); }
    CaptureSession session_;
};

TEST_F(Files, OutCreatesMissingParentsAndWinsOverOutDir) {
    const auto outcome = captureWith({"--out", dir() + "/a/b/shot.png", "--out-dir",
                                      dir() + "/unused", "--output-file", dir() + "/record.json"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.record["imagePath"], dir() + "/a/b/shot.png");
    EXPECT_TRUE(fs::exists(dir() + "/a/b/shot.png"));
    EXPECT_FALSE(fs::exists(dir() + "/unused"));
    EXPECT_EQ(testing_support::readFileContents(dir() + "/record.json") + "\n", outcome.out);
}

TEST_F(Files, OutDirWithRequestId) {
    auto outcome = captureWith({"--out-dir", dir() + "/caps", "--request-id", "r-17"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.record["imagePath"], dir() + "/caps/tavelin-capture-r-17.png");
    EXPECT_EQ(outcome.record["requestId"], "r-17");

    // An id holding "/" stays inside the directory; the record keeps it as given.
    outcome = captureWith({"--out-dir", dir() + "/caps", "--request-id", "../x/y"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.record["imagePath"], dir() + "/caps/tavelin-capture-.._x_y.png");
    EXPECT_EQ(outcome.record["requestId"], "../x/y");
    struct stat info {};
    ASSERT_EQ(stat((dir() + "/caps/tavelin-capture-r-17.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // An id that is not valid UTF-8 reaches the record repaired; the file carries the same
    // name, so a host can open the path it was given.
    outcome = captureWith({"--out-dir", dir() + "/caps", "--request-id", "\xff\xfe\xc3(abc"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string path = outcome.record["imagePath"];
    EXPECT_EQ(path, dir() + "/caps/tavelin-capture-\uFFFD\uFFFD\uFFFD(abc.png");
    EXPECT_TRUE(fs::exists(path));
}

TEST_F(Files, ARelativeOutIsJoinedToTheWorkingDirectoryAsWritten) {
    // The program runs in the private directory; a link on the way is not resolved.
    fs::create_directory(dir() + "/real");
    fs::create_directory_symlink(dir() + "/real", dir() + "/link");
    const auto outcome = captureWith({"--out", "link/../shot.png"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.record["imagePath"], dir() + "/link/../shot.png");
    EXPECT_TRUE(fs::exists(dir() + "/shot.png"));
}

TEST_F(Files, TheTemporaryDirectoryWithAnUpperCaseUuidName) {
    const auto outcome = captureWith({});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string path = outcome.record["imagePath"];
    EXPECT_TRUE(
        std::regex_match(path, std::regex(dir() + "/tavelin-capture-[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-"
                                                  "F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\.png")))
        << path;
    EXPECT_TRUE(fs::exists(path));
}

TEST_F(Files, AnUnwritableLocationReportsAnError) {
    const auto outcome = captureWith({"--out", "/proc/self/shot.png", "--request-id", "r-1"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.record["status"], "error");
    EXPECT_EQ(outcome.record["errorMessage"], "writeFailed: Failed to write image");
    EXPECT_EQ(outcome.record["requestId"], "r-1");
    EXPECT_FALSE(outcome.record.contains("imagePath"));

    const std::string file = dir() + "/plain";
    testing_support::writeFileContents(file, "x");
    const auto blocked = captureWith({"--out", file + "/shot.png"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.record["errorMessage"].get<std::string>().find("Not a directory"),
              std::string::npos);
}

}  // namespace
}  // namespace tavelin
