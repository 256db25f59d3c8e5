#include "RunReport.h"

#include <unistd.h>

#include <QString>
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
QString lostConnectionMessage;
QtMessageHandler toolkitHandler = nullptr;

void reportLostDisplay() {
    if (delivered.exchange(true)) return;
    StdoutWriter().write(errorResult(lostDisplayText, lostDisplayRequestId,
                                     iso8601Timestamp(std::chrono::system_clock::now())),
                         outputFilePath());
    std::fflush(stdout);
    ::_exit(1);
}

void watchToolkitMessages(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
    if (message.startsWith(lostConnectionMessage)) {
        // Several toolkit threads notice the break at once and each ends the process after its
        // message: the first one reports, the others wait for it to end the process.
        static std::atomic<bool> reporting{false};
        if (reporting.exchange(true)) {
            for (;;) pause();
        }
        reportLostDisplay();
    }
    if (toolkitHandler) toolkitHandler(type, context, message);
}

}  // namespace

void markRecordDelivered() {
    delivered = true;
}

void reportLostDisplayOnExit(std::optional<std::string> requestId, std::string errorText,
                             std::string toolkitMessage) {
    lostDisplayRequestId = std::move(requestId);
    lostDisplayText = std::move(errorText);
    std::atexit(reportLostDisplay);
    if (toolkitMessage.empty()) return;
    lostConnectionMessage = QString::fromStdString(toolkitMessage);
    toolkitHandler = qInstallMessageHandler(watchToolkitMessages);
}

}  // namespace tavelin
