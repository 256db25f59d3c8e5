#include "PortalBus.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "Files.h"
#include "TestUser.h"
#include "core/identity/SystemdAppId.h"

namespace tavelin::testing_support {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);

void awaitFile(const std::string& path, ChildProcess& owner, const char* what) {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (!std::filesystem::exists(path)) {
        if (!owner.isRunning() || std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error(std::string(what) + " did not start: " +
                                     owner.wait(std::chrono::seconds(1)).err);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

PortalBus::PortalBus(const HeadlessCompositor& compositor, bool startPortal) {
    environment_ = compositor.clientEnvironment({{"PATH", "/usr/bin:/bin"}});
    const std::string runtime = environment_["XDG_RUNTIME_DIR"];
    environment_["HOME"] = runtime;
    // sway's portal for screenshots; GNOME's list names the GTK one for the access interface.
    environment_["XDG_CURRENT_DESKTOP"] = "sway:GNOME";
    environment_["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + runtime + "/bus";
    // The GTK backend needs neither an accessibility bus nor stored settings here.
    environment_["NO_AT_BRIDGE"] = "1";
    environment_["GSETTINGS_BACKEND"] = "memory";
    // A screenshot a failed run left behind must not pass for a new one.
    std::filesystem::remove(kScreenshotFile);

    pipewire_ = std::make_unique<ChildProcess>(
        asTestUser({"sh", "-c", "exec pipewire >\"$0\" 2>&1", runtime + "/pipewire.log"}),
        environment_);
    awaitFile(runtime + "/pipewire-0", *pipewire_, "PipeWire");
    bus_ = std::make_unique<ChildProcess>(
        asTestUser({"sh", "-c",
                    "exec dbus-daemon --session --nofork --address=\"$0\" >\"$1\" 2>&1",
                    environment_["DBUS_SESSION_BUS_ADDRESS"], runtime + "/bus.log"}),
        environment_);
    awaitFile(runtime + "/bus", *bus_, "The session bus");
    if (!startPortal) return;
    // The portal's backends first: started by the portal itself, they now and then left it
    // waiting for one of them for the whole D-Bus timeout.
    for (const char* service :
         {"org.freedesktop.impl.portal.PermissionStore", "org.freedesktop.impl.portal.desktop.gtk",
          "org.freedesktop.impl.portal.desktop.wlr", "org.freedesktop.portal.Desktop"}) {
        const ProcessResult started = runProcess(
            asTestUser({"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                        "/org/freedesktop/DBus", "org.freedesktop.DBus.StartServiceByName",
                        std::string("string:") + service, "uint32:0"}),
            environment_, std::chrono::seconds(30));
        if (started.exitStatus != 0) {
            throw std::runtime_error(std::string("cannot start ") + service + ": " + started.err +
                                     readFileContents(runtime + "/bus.log"));
        }
    }
}

PortalBus::~PortalBus() {
    // The services the bus started end with it.
    bus_.reset();
    pipewire_.reset();
    std::filesystem::remove(kScreenshotFile);
}

Environment PortalBus::clientEnvironment(Environment environment) const {
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP"}) {
        environment[name] = environment_.at(name);
    }
    return environment;
}

std::string PortalBus::logs() const {
    const std::string runtime = environment_.at("XDG_RUNTIME_DIR");
    return "session bus and portal:\n" + readFileContents(runtime + "/bus.log") +
           "PipeWire:\n" + readFileContents(runtime + "/pipewire.log");
}

std::string portalAppIdOfChildren() {
    std::ifstream cgroup("/proc/self/cgroup");
    return appIdFromCgroup(std::string{std::istreambuf_iterator<char>(cgroup), {}});
}

void storeScreenshotPermission(const Environment& environment, const std::string& appId,
                               const std::string& answer) {
    const ProcessResult stored = runProcess(
        asTestUser({"dbus-send", "--session", "--print-reply",
                    "--dest=org.freedesktop.impl.portal.PermissionStore",
                    "/org/freedesktop/impl/portal/PermissionStore",
                    "org.freedesktop.impl.portal.PermissionStore.SetPermission",
                    "string:screenshot", "boolean:true", "string:screenshot", "string:" + appId,
                    "array:string:" + answer}),
        environment);
    if (stored.exitStatus != 0) throw std::runtime_error("cannot store permission: " + stored.err);
}

std::unique_ptr<ChildProcess> PortalBus::startClient(const std::vector<std::string>& argv) const {
    return std::make_unique<ChildProcess>(asTestUser(argv), environment_);
}

}  // namespace tavelin::testing_support
