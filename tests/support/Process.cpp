#include "Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "Files.h"

namespace tavelin::testing_support {
namespace {

void readAvailable(int& fd, std::string& into) {
    char buffer[65536];
    while (fd >= 0) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<size_t>(got));
        } else if (got == 0) {
            close(fd);
            fd = -1;
        } else {
            if (errno != EAGAIN && errno != EINTR) {
                close(fd);
                fd = -1;
            }
            return;
        }
    }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Environment& environment,
                           const std::string& workingDirectory, bool withInput) {
    int inPipe[2] = {-1, -1};
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0 ||
        (withInput && pipe2(inPipe, O_CLOEXEC) != 0)) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (withInput) {
        posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    if (!workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (const auto& [name, value] : environment) envStrings.push_back(name + "=" + value);
    std::vector<char*> env;
    for (std::string& entry : envStrings) env.push_back(entry.data());
    env.push_back(nullptr);

    const int failed = posix_spawnp(&pid_, args[0], &actions, &attributes, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(outPipe[1]);
    close(errPipe[1]);
    if (withInput) {
        close(inPipe[0]);
        inFd_ = inPipe[1];
    }
    outFd_ = outPipe[0];
    errFd_ = errPipe[0];
    fcntl(outFd_, F_SETFL, O_NONBLOCK);
    fcntl(errFd_, F_SETFL, O_NONBLOCK);
    if (failed) throw std::runtime_error("cannot start " + argv[0]);
}

ChildProcess::~ChildProcess() {
    if (!waitStatus_) {
        kill(SIGKILL);
        reap(0);
    }
    if (inFd_ >= 0) close(inFd_);
    if (outFd_ >= 0) close(outFd_);
    if (errFd_ >= 0) close(errFd_);
}

void ChildProcess::writeInput(const std::string& text) {
    size_t written = 0;
    while (inFd_ >= 0 && written < text.size()) {
        const ssize_t n = write(inFd_, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("the child's input is closed");
        written += size_t(n);
    }
}

std::string ChildProcess::nextLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const size_t end = out_.find('\n', linesRead_);
        if (end != std::string::npos) {
            std::string line = out_.substr(linesRead_, end - linesRead_);
            linesRead_ = end + 1;
            return line;
        }
        if (std::chrono::steady_clock::now() > deadline || outFd_ < 0) return {};
        pump(20);
    }
}

void ChildProcess::kill(int signal) {
    if (!waitStatus_) ::kill(-pid_, signal);
}

void ChildProcess::pump(int timeoutMs) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    // With both streams closed the child is about to be reaped: look again soon.
    poll(fds, 2, outFd_ < 0 && errFd_ < 0 ? std::min(timeoutMs, 1) : timeoutMs);
    readAvailable(outFd_, out_);
    readAvailable(errFd_, err_);
}

bool ChildProcess::reap(int options) {
    int status = 0;
    rusage usage{};
    if (wait4(pid_, &status, options, &usage) != pid_) return false;
    waitStatus_ = status;
    peakMemoryKiB_ = usage.ru_maxrss;
    return true;
}

bool ChildProcess::isRunning() {
    if (waitStatus_) return false;
    return !reap(WNOHANG);
}

std::string ChildProcess::outputSoFar() {
    pump(0);
    return out_;
}

ProcessResult ChildProcess::wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (isRunning() && std::chrono::steady_clock::now() < deadline) pump(20);
    if (isRunning()) {
        kill(SIGKILL);
        reap(0);
    }
    // Whatever the child left in the pipes (its group may still hold the write ends briefly).
    for (int i = 0; i < 50 && (outFd_ >= 0 || errFd_ >= 0); ++i) pump(10);
    ProcessResult result{out_, err_};
    result.peakMemoryKiB = peakMemoryKiB_;
    if (WIFEXITED(*waitStatus_)) result.exitStatus = WEXITSTATUS(*waitStatus_);
    if (WIFSIGNALED(*waitStatus_)) result.signal = WTERMSIG(*waitStatus_);
    return result;
}

void awaitReady(const std::function<bool()>& ready, ChildProcess& owner, const std::string& what,
                const std::string& log, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!ready()) {
        if (!owner.isRunning() || std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error(what + " did not come: " + readFileContents(log));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

ProcessResult runProcess(const std::vector<std::string>& argv, const Environment& environment,
                         std::chrono::milliseconds timeout) {
    ChildProcess child(argv, environment);
    return child.wait(timeout);
}

Environment hermeticEnvironment(const std::string& privateDirectory) {
    const char* path = std::getenv("PATH");
    Environment environment{
        {"PATH", path ? path : "/usr/bin:/bin"},
        {"HOME", privateDirectory},
        {"TMPDIR", privateDirectory},
    };
    for (const char* passed : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (const char* value = std::getenv(passed)) environment[passed] = value;
    }
    return environment;
}

}  // namespace tavelin::testing_support
