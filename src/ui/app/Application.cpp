#include "Application.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <memory>

#include "CaptureAppDelegate.h"
#include "FontWarmUp.h"
#include "OutcomeReporter.h"
#include "ProcessExit.h"
#include "RuntimeDirectory.h"
#include "StopSignals.h"
#include "TestHost.h"
#include "ToolkitMessages.h"
#include "Utf8CharacterType.h"
#include "core/output/Timestamp.h"
#include "ui/platform/BackendLoader.h"

namespace tavelin {
namespace {

// The toolkit cannot start (a platform plugin that will not load) or fails later: the run still
// ends with its one record, which names the toolkit's reason.
void reportToolkitFailure(const std::vector<std::string>& arguments, const std::string& reason) {
    const AppArgs args = AppArgs::parse(arguments, [](std::string_view) {});
    setOutputFile(args.outputFile);
    finishRun(
        toolkitFailureOutcome(args, reason, iso8601Timestamp(std::chrono::system_clock::now())));
}

}  // namespace

void runApplication(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    printToolkitMessagesAsOurs();
    onFatalToolkitMessage(
        [&arguments](const std::string& reason) { reportToolkitFailure(arguments, reason); });
    provideUtf8CharacterType();
    provideRuntimeDirectory();
    const std::unique_ptr<PlatformBackend> backend = loadBackend();
    // A capture run freezes the screens while the toolkit starts, where the backend can; the
    // permission gate still decides, in order, whether the screenshots are used.
    ScreenFreeze freeze;
    const bool capturing = AppArgs::scanMode(arguments) == AppMode::capture && !isRunningTests();
    backend->prepareToolkit(capturing);
    if (capturing && backend->capturesBeforeToolkit()) freeze.start(*backend);
    if (capturing) warmUpFontConfiguration();
    // The toolkit sees only the program path: the host's arguments are ours alone, and a value
    // such as "-display" must not be taken as a toolkit option. Only a capture shows windows.
    int toolkitArgc = 1;
    const auto application = backend->startToolkit(toolkitArgc, argv, capturing);
    if (capturing) freeze.start(*backend);
    CaptureAppDelegate delegate(arguments, *backend, freeze);
    watchStopSignals([&delegate](int signal) { delegate.stop(signal); });
    QTimer::singleShot(0, &delegate, &CaptureAppDelegate::applicationDidFinishLaunching);
    endProcess(application->exec());
}

}  // namespace tavelin
