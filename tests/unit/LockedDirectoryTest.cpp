#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/files/LockedDirectory.h"
#include "support/Files.h"

namespace tavelin {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDirectory;
using testing_support::writeFileContents;

constexpr const char* kPrefix = "run-";

// A directory made the way a run makes it, by a process that has ended since.
std::string madeByAnEndedProcess(const std::string& parent) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const auto made = makeLockedDirectory(parent, kPrefix);
        const std::string name = made.value_or("");
        [[maybe_unused]] auto written = ::write(ends[1], name.data(), name.size());
        ::_exit(made ? 0 : 1);
    }
    ::close(ends[1]);
    char buffer[512] = {};
    [[maybe_unused]] auto read = ::read(ends[0], buffer, sizeof buffer - 1);
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    return buffer;
}

TEST(LockedDirectory, IsPrivateAndSurvivesTheSweepWhileItsProcessLives) {
    TempDirectory parent;
    const auto mine = makeLockedDirectory(parent.path(), kPrefix);
    ASSERT_TRUE(mine);
    EXPECT_EQ(fs::path(*mine).parent_path(), parent.path());
    EXPECT_TRUE(fs::path(*mine).filename().string().starts_with(kPrefix));
    struct stat status {};
    ASSERT_EQ(::stat(mine->c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0700u);

    removeAbandonedDirectories(parent.path(), kPrefix);
    EXPECT_TRUE(fs::is_directory(*mine));
}

TEST(LockedDirectory, TheSweepRemovesOnlyAbandonedDirectoriesOfOurs) {
    TempDirectory parent;
    TempDirectory elsewhere;
    const std::string abandoned = madeByAnEndedProcess(parent.path());
    ASSERT_FALSE(abandoned.empty());
    writeFileContents(abandoned + "/socket", "left behind");
    // Made by an earlier version, without a lock.
    const std::string unlocked = parent.path() + "/run-old";
    fs::create_directory(unlocked);
    // Not directories of ours: a link to one, a file, another name.
    writeFileContents(elsewhere.path() + "/precious", "kept");
    const std::string link = parent.path() + "/run-link";
    fs::create_directory_symlink(elsewhere.path(), link);
    const std::string file = parent.path() + "/run-file";
    writeFileContents(file, "kept");
    const std::string other = parent.path() + "/other-run";
    fs::create_directory(other);

    removeAbandonedDirectories(parent.path(), kPrefix);

    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_FALSE(fs::exists(unlocked));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::exists(elsewhere.path() + "/precious"));
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_TRUE(fs::is_directory(other));
}

TEST(LockedDirectory, AnotherUsersDirectoryIsLeftAlone) {
    if (::getuid() != 0) GTEST_SKIP() << "needs root to give a directory away";
    TempDirectory parent;
    const std::string theirs = madeByAnEndedProcess(parent.path());
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    removeAbandonedDirectories(parent.path(), kPrefix);
    EXPECT_TRUE(fs::is_directory(theirs));
}

TEST(LockedDirectory, AMissingParentIsNoError) {
    removeAbandonedDirectories("/nonexistent/parent", kPrefix);
    EXPECT_FALSE(makeLockedDirectory("/nonexistent/parent", kPrefix));
}

}  // namespace
}  // namespace tavelin
