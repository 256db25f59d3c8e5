#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/capture/WritePng.h"
#include "support/Files.h"
#include "support/PngDecode.h"

namespace tavelin {
namespace {

namespace fs = std::filesystem;
using testing_support::readFileContents;
using testing_support::writeFileContents;

class WritePngTest : public testing::Test {
protected:
    std::vector<std::string> entries(const std::string& directory) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    Image image_ = Image::allocate(16, 9);
    testing_support::TempDirectory dir_;
};

TEST_F(WritePngTest, CreatesParentsAndAPrivateFileAndNothingElse) {
    const std::string path = dir_.path() + "/a/b/shot.png";
    const auto written = writePng(image_, path);
    ASSERT_TRUE(written.ok()) << written.error().description();
    EXPECT_EQ(*written, path);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(entries(dir_.path() + "/a/b"), std::vector<std::string>{"shot.png"});
    const auto png = testing_support::decodePngFile(path);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width, 16);
}

TEST_F(WritePngTest, ReplacesAFileOrALinkWithoutFollowingIt) {
    const std::string target = dir_.path() + "/target";
    writeFileContents(target, "precious");
    const std::string path = dir_.path() + "/shot.png";
    fs::create_symlink(target, path);
    ASSERT_TRUE(writePng(image_, path).ok());
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(readFileContents(target), "precious");
    ASSERT_TRUE(writePng(image_, path).ok());  // and again over the file it made
    EXPECT_EQ(entries(dir_.path()), (std::vector<std::string>{"shot.png", "target"}));
}

TEST_F(WritePngTest, FailuresLeaveNothingBehind) {
    // An existing directory at the location: writeFailed, directory untouched.
    const std::string directory = dir_.path() + "/taken.png";
    fs::create_directory(directory);
    writeFileContents(directory + "/inside", "x");
    auto result = writePng(image_, directory);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().captureError(), CaptureError::writeFailed);
    EXPECT_EQ(entries(directory), std::vector<std::string>{"inside"});

    // A parent that is a regular file: the platform's error, not writeFailed.
    const std::string file = dir_.path() + "/plain";
    writeFileContents(file, "x");
    result = writePng(image_, file + "/shot.png");
    ASSERT_FALSE(result.ok());
    EXPECT_FALSE(result.error().captureError());
    EXPECT_NE(result.error().recordText().find(file), std::string::npos);

    // A directory nobody may create files in, not even the superuser.
    result = writePng(image_, "/proc/self/shot.png");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().recordText(), "writeFailed: Failed to write image");

    EXPECT_EQ(entries(dir_.path()), (std::vector<std::string>{"plain", "taken.png"}));
}

}  // namespace
}  // namespace tavelin
