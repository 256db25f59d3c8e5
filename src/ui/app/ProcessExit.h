#pragma once

#include <string>

namespace tavelin {

// Ends the process with exactly `status`. Buffered standard output is flushed first; the
// toolkit and static objects are not torn down, so nothing on the way out can crash or turn the
// status into another one.
[[noreturn]] void endProcess(int status);

// A directory of the program's own that goes with the process, however it ends.
void removeAtProcessEnd(std::string directory);

}  // namespace tavelin
