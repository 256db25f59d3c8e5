#include "Files.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tavelin::testing_support {

TempDirectory::TempDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tavelin-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

namespace {

// Mounts a test's services made below `directory` (the desktop portal's document store, a FUSE
// file system, in the runtime directory), innermost first; detached, so a busy one goes too.
void unmountBelow(const std::string& directory) {
    std::ifstream mounts("/proc/self/mountinfo");
    std::vector<std::string> below;
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        fields >> id >> parent >> device >> root >> point;
        if (point.starts_with(directory + "/")) below.push_back(point);
    }
    std::sort(below.rbegin(), below.rend());
    for (const std::string& point : below) umount2(point.c_str(), MNT_DETACH);
}

}  // namespace

TempDirectory::~TempDirectory() {
    unmountBelow(path_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string readFileContents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

void writeFileContents(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

CapturePipe::CapturePipe() {
    if (pipe2(fds_, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    fcntl(fds_[0], F_SETFL, O_NONBLOCK);
}

CapturePipe::~CapturePipe() {
    for (int fd : fds_) {
        if (fd >= 0) close(fd);
    }
}

std::string CapturePipe::drain() {
    std::string contents;
    char buffer[4096];
    ssize_t got;
    while (fds_[0] >= 0 && (got = read(fds_[0], buffer, sizeof buffer)) > 0) {
        contents.append(buffer, static_cast<size_t>(got));
    }
    return contents;
}

void CapturePipe::closeReadEnd() {
    close(fds_[0]);
    fds_[0] = -1;
}

}  // namespace tavelin::testing_support
