#pragma once

namespace tavelin {

// Ends the process with exactly `status`. Buffered standard output is flushed first; the
// toolkit and static objects are not torn down, so nothing on the way out can crash or turn the
// status into another one.
[[noreturn]] void endProcess(int status);

}  // namespace tavelin
