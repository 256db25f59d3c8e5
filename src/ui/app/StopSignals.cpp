#include "StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace tavelin {
namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Written from the handlers, which may run on any of the process's threads.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> firstSignal{0};
int notePipe[2] = {-1, -1};

void noteStop(int signal) {
    if (firstSignal.exchange(signal) != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);  // delivered as soon as this handler returns
        return;
    }
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(notePipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

void catchStopSignals() {
    // Without the pipe the signals keep their default action.
    if (::pipe2(notePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action {};
    action.sa_handler = noteStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kStopSignals) sigaction(signal, &action, nullptr);
}

void watchStopSignals(std::function<void(int signal)> onStop) {
    if (notePipe[0] < 0) return;
    auto* notifier =
        new QSocketNotifier(notePipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, onStop = std::move(onStop)] {
                         notifier->setEnabled(false);
                         onStop(firstSignal.load());
                     });
}

}  // namespace tavelin
