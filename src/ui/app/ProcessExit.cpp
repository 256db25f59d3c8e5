#include "ProcessExit.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tavelin {
namespace {

std::string ownDirectory;

void removeOwnDirectory() {
    if (ownDirectory.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(ownDirectory, ignored);
    ownDirectory.clear();
}

}  // namespace

void endProcess(int status) {
    std::fflush(stdout);
    removeOwnDirectory();
    ::_exit(status);
}

// Also when the toolkit ends the process with exit().
void removeAtProcessEnd(std::string directory) {
    ownDirectory = std::move(directory);
    std::atexit(removeOwnDirectory);
}

}  // namespace tavelin
