#include "RunReport.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/output/Timestamp.h"
#include "core/result/CaptureResult.h"

namespace tavelin {
namespace {

std::atomic<bool> delivered{false};
std::optional<std::string> lostDisplayRequestId;
std::string lostDisplayText;

void reportLostDisplay() {
    if (delivered.exchange(true)) return;
    StdoutWriter().write(errorResult(lostDisplayText, lostDisplayRequestId,
                                     iso8601Timestamp(std::chrono::system_clock::now())),
                         outputFilePath());
    std::fflush(stdout);
    ::_exit(1);
}

}  // namespace

void markRecordDelivered() {
    delivered = true;
}

void reportLostDisplayOnExit(std::optional<std::string> requestId, std::string errorText) {
    lostDisplayRequestId = std::move(requestId);
    lostDisplayText = std::move(errorText);
    std::atexit(reportLostDisplay);
}

}  // namespace tavelin
