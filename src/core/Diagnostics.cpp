#include "Diagnostics.h"

#include <unistd.h>

#include <cerrno>

namespace tavelin {

int writeFully(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return 0;
}

void writeToStandardError(std::string_view line) {
    writeFully(STDERR_FILENO, line);
}

}  // namespace tavelin
