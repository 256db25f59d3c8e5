#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavelin::testing_support {

using Environment = std::map<std::string, std::string>;

struct ProcessResult {
    std::string out;
    std::string err;
    int exitStatus = -1;  // -1 when ended by a signal or not ended in time
    int signal = 0;
    long peakMemoryKiB = 0;  // the largest resident set the process reached
};

// A child process in its own process group, with standard output and error captured. The whole
// group is killed when the object goes away, so a failing test leaves nothing running.
class ChildProcess {
public:
    // Runs in `workingDirectory` when one is given, else in this process's. Its standard input
    // is a pipe fed by writeInput when `withInput`, else empty.
    ChildProcess(const std::vector<std::string>& argv, const Environment& environment,
                 const std::string& workingDirectory = {}, bool withInput = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool isRunning();
    // Waits for the end, reading both streams; kills the group when the timeout passes.
    ProcessResult wait(std::chrono::milliseconds timeout);
    // What standard output carried so far, without waiting for the end.
    std::string outputSoFar();
    // Waits until standard output has grown by a line, and returns that line.
    std::string nextLine(std::chrono::milliseconds timeout);
    void writeInput(const std::string& text);
    void kill(int signal);

private:
    void pump(int timeoutMs);
    bool reap(int options);

    pid_t pid_ = -1;
    int inFd_ = -1;
    int outFd_ = -1;
    size_t linesRead_ = 0;  // the part of out_ that nextLine has handed out
    int errFd_ = -1;
    std::string out_;
    std::string err_;
    std::optional<int> waitStatus_;
    long peakMemoryKiB_ = 0;
};

// Waits until `ready` holds. Throws, with the text of the file `log`, when `owner` ends first
// or `timeout` passes: `what` did not come.
void awaitReady(const std::function<bool()>& ready, ChildProcess& owner, const std::string& what,
                const std::string& log,
                std::chrono::milliseconds timeout = std::chrono::seconds(30));

ProcessResult runProcess(const std::vector<std::string>& argv, const Environment& environment,
                         std::chrono::milliseconds timeout = std::chrono::seconds(20));

// PATH and a private HOME and TMPDIR, as a host starts a helper: no desktop session, no D-Bus.
Environment hermeticEnvironment(const std::string& privateDirectory);

}  // namespace tavelin::testing_support
