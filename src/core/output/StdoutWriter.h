#pragma once

#include <unistd.h>

#include <optional>
#include <string>
#include <variant>

#include "core/output/RecordJson.h"

namespace tavelin {

struct Written {};
struct EncodeFailed {
    EncodeError error;
};
struct FileWriteFailed {
    std::string path;
    std::string description;
};
using WriteOutcome = std::variant<Written, EncodeFailed, FileWriteFailed>;

// The one way a record leaves the process: one compact JSON object and a line feed written
// straight to the standard-output descriptor (no stdio buffering), then the same object without
// the line feed into the output file when one is given. Failures are reported on standard error
// and returned; the writer never retries and never ends the process.
class StdoutWriter {
public:
    explicit StdoutWriter(int stdoutFd = STDOUT_FILENO, int stderrFd = STDERR_FILENO)
        : stdoutFd_(stdoutFd), stderrFd_(stderrFd) {}

    template <typename Record>
    WriteOutcome write(const Record& record, const std::optional<std::string>& outputFile) const {
        return deliver(encodeRecord(record), outputFile);
    }

private:
    WriteOutcome deliver(const Result<std::string, EncodeError>& encoded,
                         const std::optional<std::string>& outputFile) const;

    int stdoutFd_;
    int stderrFd_;
};

}  // namespace tavelin
