#include "KWinCompositor.h"

#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "TestUser.h"

namespace tavelin::testing_support {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr const char* kSocket = "tavelin-kwin";

}  // namespace

KWinCompositor::KWinCompositor(int width, int height, const std::vector<std::string>& allowed)
    : outputs_{{0, 0, width, height, 1}, {width, 0, width, height, 2}} {
    if (const std::string problem = testUserProblem(); !problem.empty()) {
        throw std::runtime_error(problem);
    }
    std::signal(SIGPIPE, SIG_IGN);
    const std::string runtime = runtime_.path();
    chmod(runtime.c_str(), 0700);
    environment_ = {
        {"PATH", "/usr/bin:/bin"},
        {"HOME", runtime},
        {"XDG_RUNTIME_DIR", runtime},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime + "/bus"},
        // The application database: ours first, the system's after it.
        {"XDG_DATA_DIRS", runtime + "/data:/usr/share"},
        {"XDG_CONFIG_DIRS", runtime + "/xdg:/etc/xdg"},
        {"WAYLAND_DISPLAY", kSocket},
    };
    writeSettings(allowed);
    handToTestUser(runtime);
    startBus();
    startKWin();
    arrangeOutputs();
    showContent();
    startInput();
}

KWinCompositor::~KWinCompositor() {
    input_.reset();
    windows_.reset();
    panel_.reset();
    backgrounds_.clear();
    if (kwin_) kwin_->kill(SIGTERM);
    kwin_.reset();
    bus_.reset();
}

Environment KWinCompositor::clientEnvironment(Environment environment) const {
    for (const char* name : {"XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS", "XDG_DATA_DIRS",
                             "XDG_CONFIG_DIRS", "WAYLAND_DISPLAY"}) {
        environment[name] = environment_.at(name);
    }
    return environment;
}

ProcessResult KWinCompositor::runClient(const std::vector<std::string>& argv) const {
    return runProcess(asTestUser(argv), environment_);
}

bool KWinCompositor::screenshot(size_t index, const std::string& png) const {
    const OutputLayout& output = outputs_[index];
    return runClient({runnableByTestUser(TAVELIN_KWIN_SHOT_BINARY), outputName(index),
                      std::to_string(output.width), std::to_string(output.height), png})
               .exitStatus == 0;
}

// KWin knows programs through KDE's application database, built from desktop entries that
// a menu includes; it lets an entry's program (its Exec path) use what the entry names.
void KWinCompositor::writeSettings(const std::vector<std::string>& allowed) const {
    namespace fs = std::filesystem;
    const std::string runtime = runtime_.path();
    fs::create_directories(runtime + "/xdg/menus");
    fs::create_directories(runtime + "/data/applications");
    fs::create_directories(runtime + "/.config");
    std::ofstream(runtime + "/xdg/menus/applications.menu")
        << "<Menu><Name>Applications</Name><DefaultAppDirs/><Include><All/></Include></Menu>\n";
    std::vector<std::string> programs = allowed;
    programs.push_back(runnableByTestUser(TAVELIN_KWIN_SHOT_BINARY));
    programs.push_back(runnableByTestUser(TAVELIN_KWIN_INPUT_BINARY));
    for (size_t index = 0; index < programs.size(); ++index) {
        std::ofstream(runtime + "/data/applications/tavelin-test-" + std::to_string(index) +
                      ".desktop")
            << "[Desktop Entry]\nType=Application\nName=test program\nNoDisplay=true\nExec="
            << programs[index]
            << "\nX-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2\n"
               "X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n";
    }
    // An injected drag goes on across output edges.
    std::ofstream(runtime + "/.config/kwinrc")
        << "[EdgeBarrier]\nEdgeBarrier=0\nCornerBarrier=false\n";
    for (size_t index = 0; index < outputs_.size(); ++index) {
        writeOutputContentPng(index, outputs_[index],
                              runtime + "/output-" + std::to_string(index + 1) + ".png");
    }
}

void KWinCompositor::startBus() {
    const std::string runtime = runtime_.path();
    bus_ = std::make_unique<ChildProcess>(
        asTestUser({"sh", "-c", "exec dbus-daemon --session --nofork --address=\"$0\" >\"$1\" 2>&1",
                    environment_["DBUS_SESSION_BUS_ADDRESS"], runtime + "/bus.log"}),
        environment_);
    awaitReady([&] { return std::filesystem::exists(runtime + "/bus"); }, *bus_, "The session bus",
               runtime + "/bus.log");
    const ProcessResult built = runClient({"kbuildsycoca6", "--noincremental"});
    if (built.exitStatus != 0) throw std::runtime_error("kbuildsycoca6: " + built.err);
}

// The installed KWin carries a file capability, for which the loader ignores LD_PRELOAD: a
// copy runs instead, under KWin's own name (its toolkit plugin checks it).
void KWinCompositor::startKWin() {
    const std::string runtime = runtime_.path();
    std::filesystem::create_directories(runtime + "/bin");
    std::filesystem::copy_file("/usr/bin/kwin_wayland", runtime + "/bin/kwin_wayland");
    chmod((runtime + "/bin").c_str(), 0755);
    chmod((runtime + "/bin/kwin_wayland").c_str(), 0755);
    Environment environment = environment_;
    environment["QT_QPA_PLATFORM"] = "offscreen";
    environment["GBM_ALWAYS_SOFTWARE"] = "1";
    environment["LD_PRELOAD"] = runnableByTestUser(TAVELIN_RENDER_NODE_LIBRARY);
    const std::string log = runtime + "/kwin.log";
    kwin_ = std::make_unique<ChildProcess>(
        asTestUser({"sh", "-c",
                    "exec \"$0\" --virtual --socket \"$1\" --no-lockscreen --no-global-shortcuts "
                    "--no-kactivities --output-count 2 --width \"$2\" --height \"$3\" >\"$4\" 2>&1",
                    runtime + "/bin/kwin_wayland", kSocket, std::to_string(outputs_[0].width),
                    std::to_string(outputs_[0].height), log}),
        environment);
    awaitReady(
        [&] {
            return runClient({"dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin",
                              "/Effects", "org.kde.kwin.Effects.isEffectSupported",
                              "string:screenshot"})
                       .out.find("boolean true") != std::string::npos;
        },
        *kwin_, "KWin's screenshot interface", log);
}

void KWinCompositor::arrangeOutputs() {
    const OutputLayout& second = outputs_[1];
    const ProcessResult arranged =
        runClient({"kscreen-doctor", "output." + outputName(1) + ".scale.2",
                   "output." + outputName(1) + ".position." + std::to_string(second.x) + ",0"});
    if (arranged.exitStatus != 0) throw std::runtime_error("kscreen-doctor: " + arranged.err);
}

// The first frames show something else than the backgrounds.
void KWinCompositor::showContent() {
    const std::string runtime = runtime_.path();
    for (size_t index = 0; index < outputs_.size(); ++index) {
        backgrounds_.push_back(std::make_unique<ChildProcess>(
            asTestUser({"swaybg", "-o", outputName(index), "-m", "stretch", "-i",
                        runtime + "/output-" + std::to_string(index + 1) + ".png"}),
            environment_));
    }
    const std::string shot = runtime + "/shown.png";
    for (size_t index = 0; index < outputs_.size(); ++index) {
        awaitReady(
            [&] {
                return screenshot(index, shot) &&
                       pngShowsOutputContent(shot, index, outputs_[index]);
            },
            *kwin_, outputName(index) + "'s content", runtime + "/kwin.log");
    }
}

void KWinCompositor::showWindows(size_t contentIndex) {
    std::vector<std::string> argv{runnableByTestUser(TAVELIN_SHOW_PICTURES_BINARY)};
    for (size_t index = 0; index < outputs_.size(); ++index) {
        const std::string image = runtime_.path() + "/window-" + std::to_string(index) + ".png";
        writeOutputContentPng(contentIndex + index, outputs_[index], image);
        argv.push_back(outputName(index) + "=" + image);
    }
    handToTestUser(runtime_.path());
    windows_ = std::make_unique<ChildProcess>(asTestUser(argv), environment_, std::string{}, true);
    if (windows_->nextLine(kStartTimeout) != "shown") {
        throw std::runtime_error("no windows: " + windows_->wait(std::chrono::seconds(1)).err);
    }
}

void KWinCompositor::showPanel() {
    panel_ =
        std::make_unique<ChildProcess>(asTestUser({runnableByTestUser(TAVELIN_SHOW_PANELS_BINARY)}),
                                       environment_, std::string{}, true);
    if (panel_->nextLine(kStartTimeout) != "shown") {
        throw std::runtime_error("no panel: " + panel_->wait(std::chrono::seconds(1)).err);
    }
}

void KWinCompositor::startInput() {
    input_ = std::make_unique<InputChannel>(
        std::make_unique<ChildProcess>(asTestUser({runnableByTestUser(TAVELIN_KWIN_INPUT_BINARY)}),
                                       environment_, std::string{}, true));
}

}  // namespace tavelin::testing_support
