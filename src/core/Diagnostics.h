#pragma once

#include <functional>
#include <string_view>

namespace tavelin {

// Receives one complete diagnostic line, line feed included.
using DiagnosticSink = std::function<void(std::string_view line)>;

// Writes the line to file descriptor 2 as a single write, so concurrent output cannot split it.
void writeToStandardError(std::string_view line);

// Writes all bytes to the descriptor, retrying short and interrupted writes. Returns 0 on
// success, else the errno of the failing write.
int writeFully(int fd, std::string_view bytes);

}  // namespace tavelin
