#include "TestUser.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "Files.h"

namespace tavelin::testing_support {
namespace {

std::string userName() {
    const char* name = std::getenv("TAVELIN_TEST_USER");
    return name && *name ? name : "tavelin-test";
}

const passwd* testUser() {
    return getpwnam(userName().c_str());
}

}  // namespace

bool switchesUser() {
    return geteuid() == 0;
}

std::vector<std::string> asTestUser(std::vector<std::string> argv) {
    const passwd* user = testUser();
    if (!switchesUser() || !user) return argv;
    std::vector<std::string> command = {"setpriv", "--reuid=" + std::to_string(user->pw_uid),
                                        "--regid=" + std::to_string(user->pw_gid), "--init-groups",
                                        "--"};
    command.insert(command.end(), argv.begin(), argv.end());
    return command;
}

std::string runnableByTestUser(const std::string& path) {
    if (!switchesUser()) return path;
    static TempDirectory copies;
    static std::map<std::string, std::string> copied;
    auto& copy = copied[path];
    if (copy.empty()) {
        chmod(copies.path().c_str(), 0755);
        copy = copies.path() + "/" + std::filesystem::path(path).filename().string();
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
        chmod(copy.c_str(), 0755);
    }
    return copy;
}

void handToTestUser(const std::string& path) {
    const passwd* user = testUser();
    if (!switchesUser() || !user) return;
    namespace fs = std::filesystem;
    std::error_code error;
    lchown(path.c_str(), user->pw_uid, user->pw_gid);
    // What a service mounted below (the portal's FUSE document store) is not root's to enter.
    for (auto entry = fs::recursive_directory_iterator(
             path, fs::directory_options::skip_permission_denied, error);
         !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        lchown(entry->path().c_str(), user->pw_uid, user->pw_gid);
    }
}

std::string testUserProblem() {
    if (!switchesUser() || testUser()) return {};
    return "running as root without the user " + userName() +
           " (scripts/test.sh creates it; or set TAVELIN_TEST_USER)";
}

}  // namespace tavelin::testing_support
