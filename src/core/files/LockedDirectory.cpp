#include "LockedDirectory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "core/FileDescriptor.h"

namespace tavelin {
namespace {

// A start that sweeps may find a directory between its making and its lock, and remove it.
constexpr int kAttempts = 5;

FileDescriptor openDirectory(const std::string& path) {
    return FileDescriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool lockWithoutWaiting(const FileDescriptor& directory) {
    return ::flock(directory.get(), LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

std::optional<std::string> makeLockedDirectory(const std::string& parent,
                                               const std::string& prefix) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string path = parent + "/" + prefix + "XXXXXX";
        if (!::mkdtemp(path.data())) return std::nullopt;
        FileDescriptor directory = openDirectory(path);
        struct stat status {};
        // A sweeping start that got there first holds the lock, or has removed the directory
        // (no links left to it) by the time we hold it: it is the sweeper's, make another.
        if (directory && lockWithoutWaiting(directory) && ::fstat(directory.get(), &status) == 0 &&
            status.st_nlink > 0) {
            // The descriptor stays open, and with it the lock, until the process ends.
            static_cast<void>(directory.release());
            return path;
        }
    }
    return std::nullopt;
}

void removeAbandonedDirectories(const std::string& parent, const std::string& prefix) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (auto entry = fs::directory_iterator(parent, error);
         !error && entry != fs::directory_iterator(); entry.increment(error)) {
        if (!entry->path().filename().string().starts_with(prefix)) continue;
        const std::string path = entry->path().string();
        const FileDescriptor directory = openDirectory(path);
        struct stat status {};
        if (!directory || ::fstat(directory.get(), &status) != 0 || status.st_uid != ::getuid() ||
            !lockWithoutWaiting(directory)) {
            continue;
        }
        // Held while removing, so a start that has just made it sees it is not its own.
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
}

}  // namespace tavelin
