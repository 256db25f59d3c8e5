#include "ToolkitMessages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>

#include "ProcessExit.h"

namespace tavelin {
namespace {

// Enough for the toolkit's account of a failed start: what it tried, why each try failed.
constexpr size_t kKeptMessages = 8;

// Any of the toolkit's threads may speak.
std::mutex guard;
std::deque<std::string> kept;
ToolkitMessageFilter quiet;
std::function<void(const std::string&)> fatalHandler;

std::string keptText() {
    std::string text;
    for (const std::string& line : kept) text += (text.empty() ? "" : "; ") + line;
    return text;
}

void printAsOurs(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool namedCategory = context.category && std::strcmp(context.category, "default") != 0;
    const std::string line =
        (namedCategory ? std::string(context.category) + ": " : std::string()) +
        message.simplified().toStdString();
    std::unique_lock lock(guard);
    kept.push_back(line);
    if (kept.size() > kKeptMessages) kept.pop_front();
    if (type == QtFatalMsg || !quiet || !quiet(context.category, message.toStdString())) {
        std::fprintf(stderr, "TavelinCapture: %s\n", line.c_str());
    }
    if (type != QtFatalMsg) return;
    const std::string reason = keptText();
    const auto onFatal = fatalHandler;
    lock.unlock();
    if (onFatal) onFatal(reason);
    endProcess(1);
}

}  // namespace

void printToolkitMessagesAsOurs() {
    qInstallMessageHandler(printAsOurs);
}

void quietenToolkitMessages(ToolkitMessageFilter expected) {
    const std::lock_guard lock(guard);
    quiet = std::move(expected);
}

void onFatalToolkitMessage(std::function<void(const std::string& reason)> onFatal) {
    const std::lock_guard lock(guard);
    fatalHandler = std::move(onFatal);
}

}  // namespace tavelin
