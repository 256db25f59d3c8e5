#include "StdoutWriter.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "core/Diagnostics.h"
#include "core/FileDescriptor.h"

namespace tavelin {
namespace {

std::string describeErrno(int error) {
    return std::string(std::strerror(error)) + " (errno " + std::to_string(error) + ")";
}

// Replaces the file's content; a relative path is taken from the working directory.
int writeFile(const std::string& path, const std::string& bytes) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!file) return errno;
    if (const int error = writeFully(file.get(), bytes)) return error;
    return file.close();
}

}  // namespace

WriteOutcome StdoutWriter::deliver(const Result<std::string, EncodeError>& encoded,
                                   const std::optional<std::string>& outputFile) const {
    if (!encoded) {
        writeFully(stderrFd_,
                   "StdoutWriter JSON encode error: " + encoded.error().description + "\n");
        return EncodeFailed{encoded.error()};
    }
    // A host that closed its end of the pipe cannot be told anything more; the output file may
    // still reach it, so the failure here is not allowed to stop the delivery.
    writeFully(stdoutFd_, *encoded + "\n");
    if (!outputFile) return Written{};

    if (const int error = writeFile(*outputFile, *encoded)) {
        const std::string description = describeErrno(error);
        writeFully(stderrFd_, "StdoutWriter file write error for '" + *outputFile +
                                  "': " + description + "\n");
        return FileWriteFailed{*outputFile, description};
    }
    return Written{};
}

}  // namespace tavelin
