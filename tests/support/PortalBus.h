#pragma once

#include <memory>
#include <string>

#include "HeadlessCompositor.h"
#include "Process.h"

namespace tavelin::testing_support {

// A private session bus beside a headless compositor, on which the bus starts the desktop portal
// when asked (xdg-desktop-portal, its wlroots backend for screenshots, the GTK backend for the
// access interface the portal insists on, the permission store), with PipeWire, which the
// wlroots backend needs running. Everything runs as the test user with the compositor's
// runtime directory as its home, so the permission store starts empty; it all ends with this
// object.
// The application id the portal files this process's children under: that of the systemd unit
// it runs in, which they inherit; outside one, the empty id.
std::string portalAppIdOfChildren();

// Stores the desktop portal's screenshot permission for `appId` ("yes" or "no") through the
// permission store on the session bus of `environment`, as the test user.
void storeScreenshotPermission(const Environment& environment, const std::string& appId,
                               const std::string& answer);

class PortalBus {
public:
    // Where the wlroots backend leaves every screenshot.
    static constexpr const char* kScreenshotFile = "/tmp/out.png";

    // With `startPortal` the portal runs from the start, as in a desktop session; without, the
    // bus starts it when it is first called, unless a stand-in has taken its name.
    explicit PortalBus(const HeadlessCompositor& compositor, bool startPortal = true);
    ~PortalBus();
    PortalBus(const PortalBus&) = delete;
    PortalBus& operator=(const PortalBus&) = delete;

    // What a client needs to reach this bus, added to `environment`.
    Environment clientEnvironment(Environment environment) const;
    // Stores the portal's screenshot permission for `appId` ("yes" or "no").
    void storePermission(const std::string& appId, const std::string& answer) const {
        storeScreenshotPermission(environment_, appId, answer);
    }
    // What the bus and the services it started have said so far, to explain a failure.
    std::string logs() const;
    // Runs `argv` as the test user on this bus, e.g. a stand-in for the portal.
    std::unique_ptr<ChildProcess> startClient(const std::vector<std::string>& argv) const;

private:
    Environment environment_;
    std::unique_ptr<ChildProcess> pipewire_;
    std::unique_ptr<ChildProcess> bus_;
};

}  // namespace tavelin::testing_support
