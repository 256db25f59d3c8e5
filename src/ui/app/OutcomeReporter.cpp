#include "OutcomeReporter.h"

#include <unistd.h>

#include <QString>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>

#include "core/output/StdoutWriter.h"
#include "core/output/Timestamp.h"
#include "ui/app/ProcessExit.h"

namespace tavelin {
namespace {

std::optional<std::string> outputFile;
// The record goes out once. A second thread that ends the run (the toolkit noticing the
// display go away during the save) waits until the first one's record is out, or it would end
// the process in the middle of writing it.
std::mutex delivery;
bool delivered = false;

// The capture run whose display may go away, and the record's text then.
std::optional<CaptureArgs> lostDisplayArgs;
std::string lostDisplayText;
QString lostConnectionMessage;
QtMessageHandler toolkitHandler = nullptr;
// The save under way once the user confirmed; the toolkit may notice a lost display on any of
// its threads.
std::shared_future<RunOutcome> pendingSave;
std::atomic<bool> saving{false};

// Stamped when the display went away, not when the run began to watch for it.
void finishOnLostDisplay() {
    if (saving.load(std::memory_order_acquire)) finishRun(pendingSave.get());
    if (!lostDisplayArgs) return;
    finishRun(captureErrorOutcome(lostDisplayText, *lostDisplayArgs,
                                  iso8601Timestamp(std::chrono::system_clock::now())));
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
        finishOnLostDisplay();
    }
    if (toolkitHandler) toolkitHandler(type, context, message);
}

}  // namespace

void setOutputFile(std::optional<std::string> path) {
    outputFile = std::move(path);
}

int deliverOutcome(const RunOutcome& outcome) {
    const std::lock_guard lock(delivery);
    if (!delivered) {
        std::visit([](const auto& record) { StdoutWriter().write(record, outputFile); },
                   outcome.record);
        delivered = true;
    }
    return outcome.status;
}

void finishRun(const RunOutcome& outcome) {
    endProcess(deliverOutcome(outcome));
}

void finishRunOnLostDisplay(const CaptureArgs& args, std::string errorText,
                            std::string toolkitMessage) {
    lostDisplayArgs = args;
    lostDisplayText = std::move(errorText);
    std::atexit(finishOnLostDisplay);
    if (toolkitMessage.empty()) return;
    lostConnectionMessage = QString::fromStdString(toolkitMessage);
    toolkitHandler = qInstallMessageHandler(watchToolkitMessages);
}

void finishRunWithSaveOnLostDisplay(std::shared_future<RunOutcome> save) {
    pendingSave = std::move(save);
    saving.store(true, std::memory_order_release);
}

}  // namespace tavelin
