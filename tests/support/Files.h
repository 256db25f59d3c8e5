#pragma once

#include <string>

namespace tavelin::testing_support {

// A fresh directory below $TMPDIR (or /tmp), removed with everything in it.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string readFileContents(const std::string& path);
void writeFileContents(const std::string& path, const std::string& contents);

// A pipe whose read end collects what a test hands out as a write descriptor. Non-blocking
// reads; the write end stays open so short messages never block.
class CapturePipe {
public:
    CapturePipe();
    ~CapturePipe();
    CapturePipe(const CapturePipe&) = delete;
    CapturePipe& operator=(const CapturePipe&) = delete;

    int writeFd() const { return fds_[1]; }
    std::string drain();
    void closeReadEnd();

private:
    int fds_[2] = {-1, -1};
};

}  // namespace tavelin::testing_support
