#pragma once

#include <string>

namespace tavelin {

// Ends the process with exactly `status`. Buffered standard output is flushed first; the
// toolkit and static objects are not torn down, so nothing on the way out can crash or turn the
// status into another one.
[[noreturn]] void endProcess(int status);

// Ends the process by `signal`'s default action, as if it had no handler: a run stopped before it
// had anything true to report. The program's own directory goes first.
[[noreturn]] void endProcessBySignal(int signal);

// A directory of the program's own that goes with the process, however it ends.
void removeAtProcessEnd(std::string directory);

}  // namespace tavelin
