#pragma once

#include <optional>
#include <string>

#include "core/output/StdoutWriter.h"
#include "ui/app/OutputFilePath.h"

namespace tavelin {

// Notes that the host has its record, so no other record follows.
void markRecordDelivered();

// Hands a run's record to the writer with the --output-file path.
template <typename Record>
void reportRecord(const Record& record) {
    markRecordDelivered();
    StdoutWriter().write(record, outputFilePath());
}

// The toolkit ends the process with status 1 when the display goes away: through exit(), or
// right after a message starting with `toolkitMessage` (when not empty). From then on, such an
// end still reports one error record (`errorText`, with `requestId`) to the host, unless a
// record was already delivered, and the status stays 1.
void reportLostDisplayOnExit(std::optional<std::string> requestId, std::string errorText,
                             std::string toolkitMessage);

}  // namespace tavelin
