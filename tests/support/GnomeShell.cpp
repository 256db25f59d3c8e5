#include "GnomeShell.h"

#include <linux/input-event-codes.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>

#include "PortalBus.h"
#include "TestUser.h"

namespace tavelin::testing_support {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr const char* kSystemBusSocket = "/run/dbus/system_bus_socket";

}  // namespace

GnomeShell::GnomeShell() : outputs_{{0, 0, 1920, 1080, 1}, {1920, 0, 2560, 1440, 2}} {
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
        {"XDG_SESSION_TYPE", "wayland"},
        {"XDG_CURRENT_DESKTOP", "GNOME"},
        {"WAYLAND_DISPLAY", "wayland-0"},
    };
    for (size_t index = 0; index < outputs_.size(); ++index) {
        writeOutputContentPng(index, outputs_[index],
                              runtime + "/output-" + std::to_string(index) + ".png");
    }
    handToTestUser(runtime);
    startSystemBus();
    startSession();
    startShell();
    startInput();
}

GnomeShell::~GnomeShell() {
    input_.reset();
    pictures_.reset();
    if (shell_) shell_->kill(SIGTERM);
    shell_.reset();
    // The services the session bus started end with it.
    while (!services_.empty()) services_.pop_back();
    systemBus_.reset();
}

Environment GnomeShell::clientEnvironment(Environment environment) const {
    for (const char* name : {"XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS", "XDG_SESSION_TYPE",
                             "XDG_CURRENT_DESKTOP", "WAYLAND_DISPLAY"}) {
        environment[name] = environment_.at(name);
    }
    return environment;
}

std::unique_ptr<ChildProcess> GnomeShell::startClient(const std::vector<std::string>& argv) const {
    return std::make_unique<ChildProcess>(asTestUser(argv), environment_, std::string{}, true);
}

void GnomeShell::storePermission(const std::string& appId, const std::string& answer) const {
    storeScreenshotPermission(environment_, appId, answer);
}

// The shell asks the login manager and others on the system bus, and ends without one.
void GnomeShell::startSystemBus() {
    const auto answers = [] {
        return runProcess({"dbus-send", "--system", "--print-reply", "--dest=org.freedesktop.DBus",
                           "/org/freedesktop/DBus", "org.freedesktop.DBus.GetId"},
                          {{"PATH", "/usr/bin:/bin"}})
                   .exitStatus == 0;
    };
    if (answers()) return;
    if (::getuid() != 0) throw std::runtime_error("GNOME Shell needs a system bus");
    // A socket left by a bus that was killed answers nobody.
    std::filesystem::remove(kSystemBusSocket);
    std::filesystem::create_directories("/run/dbus");
    const std::string log = runtime_.path() + "/system-bus.log";
    systemBus_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{
            "sh", "-c", "exec dbus-daemon --system --nofork --nopidfile >\"$0\" 2>&1", log},
        Environment{{"PATH", "/usr/bin:/bin"}});
    awaitReady(answers, *systemBus_, "The system bus", log);
}

void GnomeShell::startSession() {
    const std::string runtime = runtime_.path();
    const auto start = [&](const std::string& command, const std::string& log) {
        services_.push_back(std::make_unique<ChildProcess>(
            asTestUser({"sh", "-c", "exec " + command + " >\"$0\" 2>&1", log}), environment_));
        return services_.back().get();
    };
    ChildProcess* bus =
        start("dbus-daemon --session --nofork --address=\"$DBUS_SESSION_BUS_ADDRESS\"",
              runtime + "/bus.log");
    awaitReady([&] { return std::filesystem::exists(runtime + "/bus"); }, *bus, "The session bus",
               runtime + "/bus.log");
    ChildProcess* pipewire = start("pipewire", runtime + "/pipewire.log");
    awaitReady([&] { return std::filesystem::exists(runtime + "/pipewire-0"); }, *pipewire,
               "PipeWire", runtime + "/pipewire.log");
    start("wireplumber", runtime + "/wireplumber.log");
}

void GnomeShell::startShell() {
    const std::string log = runtime_.path() + "/shell.log";
    shell_ = std::make_unique<ChildProcess>(
        asTestUser({"sh", "-c",
                    "exec gnome-shell --headless --wayland --no-x11 --wayland-display=wayland-0 "
                    "--virtual-monitor 1920x1080 --virtual-monitor 2560x1440 >\"$0\" 2>&1",
                    log}),
        environment_);
    awaitReady(
        [&] { return readFileContents(log).find("GNOME Shell started") != std::string::npos; },
        *shell_, "GNOME Shell", log);
    const ProcessResult arranged = runProcess(
        asTestUser({"gdctl",       "set",        "-l",         "logical", "-L",          "-M",
                    outputName(0), "--primary",  "--scale",    "1",       "-x",          "0",
                    "-y",          "0",          "-L",         "-M",      outputName(1), "--scale",
                    "2",           "--right-of", outputName(0)}),
        environment_);
    if (arranged.exitStatus != 0) throw std::runtime_error("gdctl: " + arranged.err);
}

void GnomeShell::startInput() {
    std::vector<std::string> argv{runnableByTestUser(TAVELIN_MUTTER_INPUT_BINARY)};
    for (size_t index = 0; index < outputs_.size(); ++index) {
        const OutputLayout& output = outputs_[index];
        argv.push_back(outputName(index) + ":" + std::to_string(output.x) + ":" +
                       std::to_string(output.y) + ":" + std::to_string(output.scale));
    }
    input_ = std::make_unique<InputChannel>(startClient(argv));
    // The shell starts in its overview, which the first Escape closes. The seat gets its pointer
    // with the first motion, and clients bind it only then: the pointer is made before any
    // client needs it, away from where tests look.
    input_->tapKey(KEY_ESC);
    input_->movePointer(5, outputs_[0].logicalHeight() - 5);
}

void GnomeShell::showContent() {
    std::vector<std::string> argv{runnableByTestUser(TAVELIN_SHOW_PICTURES_BINARY)};
    for (size_t index = 0; index < outputs_.size(); ++index) {
        argv.push_back(outputName(index) + "=" + runtime_.path() + "/output-" +
                       std::to_string(index) + ".png");
    }
    pictures_ = startClient(argv);
    if (pictures_->nextLine(kStartTimeout) != "shown") {
        throw std::runtime_error("the pictures were not shown: " +
                                 pictures_->wait(std::chrono::seconds(1)).err);
    }
}

}  // namespace tavelin::testing_support
