#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Process.h"

namespace tavelin::testing_support {

// One monitor of a virtual display, in root-window pixels.
struct MonitorLayout {
    std::string name;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The colour the test pattern puts at root pixel (x, y): red and green follow x and y, blue
// carries their high bits, so every pixel of a large screen is told apart from its neighbours.
struct Rgb {
    uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
Rgb patternAt(int x, int y);

// A private Xvfb server with the given monitors (the first is primary) and the test pattern as
// its root window background. The server is stopped when the object goes away.
class VirtualDisplay {
public:
    // `serverOptions` go to Xvfb as they are (e.g. "-extension", "MIT-SHM").
    explicit VirtualDisplay(std::vector<MonitorLayout> monitors,
                            std::vector<std::string> serverOptions = {});
    ~VirtualDisplay();

    const std::string& name() const { return name_; }  // e.g. ":42"
    const std::vector<MonitorLayout>& monitors() const { return monitors_; }
    // Runs a command with DISPLAY set to this server; returns its exit status.
    int run(const std::vector<std::string>& argv) const;
    struct TopLevelWindow {
        bool overrideRedirect = false;
        bool viewable = false;
        int width = 0;
        int height = 0;
    };
    // The children of the root window, bottom first.
    std::vector<TopLevelWindow> topLevelWindows() const;
    // How many override-redirect windows are mapped and viewable: the overlay's windows.
    int viewableOverlayWindows() const;
    // Whether some client holds the keyboard grab, as the overlay does once it takes input.
    bool keyboardIsGrabbed() const;
    // Runs xdotool with these arguments on this display.
    void xdotool(const std::vector<std::string>& arguments) const;
    void stop();

private:
    void paintPattern() const;

    std::vector<MonitorLayout> monitors_;
    int rootWidth_ = 0;
    int rootHeight_ = 0;
    std::string name_;
    std::unique_ptr<ChildProcess> server_;
};

}  // namespace tavelin::testing_support
