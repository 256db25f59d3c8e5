#include "ProcessExit.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
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

void endProcessBySignal(int signal) {
    std::fflush(stdout);
    removeOwnDirectory();
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    ::_exit(128 + signal);  // a signal whose default action is not to end the process
}

// Also when the toolkit ends the process with exit().
void removeAtProcessEnd(std::string directory) {
    ownDirectory = std::move(directory);
    std::atexit(removeOwnDirectory);
}

}  // namespace tavelin
