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

void reportLostDisplay() {
    if (delivered.exchange(true)) return;
    StdoutWriter().write(errorResult("Lost the connection to the X server", lostDisplayRequestId,
                                     iso8601Timestamp(std::chrono::system_clock::now())),
                         outputFilePath());
    std::fflush(stdout);
    ::_exit(1);
}

}  // namespace

void markRecordDelivered() {
    delivered = true;
}

void reportLostDisplayOnExit(std::optional<std::string> requestId) {
    lostDisplayRequestId = std::move(requestId);
    std::atexit(reportLostDisplay);
}

}  // namespace tavelin
