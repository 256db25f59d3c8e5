#pragma once

#include <future>
#include <optional>
#include <string>

#include "core/result/RunOutcome.h"

namespace tavelin {

// The one place a run ends. It owns the --output-file path, delivers the run's one record
// (standard output, then the file) and ends the process with the outcome's status. A second
// outcome, such as a display lost while the first one was being delivered, is dropped.

void setOutputFile(std::optional<std::string> path);

// Writes the outcome's record unless one was delivered already (waiting until that one is
// out); its status either way.
int deliverOutcome(const RunOutcome& outcome);

// Delivers the outcome and ends the process with its status.
[[noreturn]] void finishRun(const RunOutcome& outcome);

// The toolkit ends the process with status 1 when the display goes away: through exit(), or
// right after a message starting with `toolkitMessage` (when not empty). From now on such an end
// finishes the run with an error record (`errorText`) for the capture run `args`.
void finishRunOnLostDisplay(const CaptureArgs& args, std::string errorText,
                            std::string toolkitMessage);

// The user confirmed, and the save, which needs no display, is under way: a display lost from
// now on finishes the run with the save's outcome once it is ready.
void finishRunWithSaveOnLostDisplay(std::shared_future<RunOutcome> save);

}  // namespace tavelin
