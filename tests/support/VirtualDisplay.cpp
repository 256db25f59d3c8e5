#include "VirtualDisplay.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include "RootBackground.h"

namespace tavelin::testing_support {
namespace {

std::string readDisplayNumber(int fd) {
    std::string digits;
    for (int waited = 0; waited < 10000; waited += 50) {
        pollfd descriptor{fd, POLLIN, 0};
        if (poll(&descriptor, 1, 50) <= 0) continue;
        char c;
        while (read(fd, &c, 1) == 1) {
            if (c == '\n') return digits;
            digits += c;
        }
    }
    throw std::runtime_error("Xvfb did not report its display");
}

struct Connection {
    explicit Connection(const std::string& display)
        : handle(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(handle)) throw std::runtime_error("cannot connect " + display);
        screen = xcb_setup_roots_iterator(xcb_get_setup(handle)).data;
    }
    ~Connection() { xcb_disconnect(handle); }
    xcb_connection_t* handle;
    xcb_screen_t* screen;
};

template <typename ColourAt>
void paintRect(const Image& image, int x, int y, int width, int height, ColourAt colourAt) {
    for (int row = y; row < y + height; ++row) {
        uint8_t* pixels = image.mutableRow(row);
        for (int column = x; column < x + width; ++column) {
            const Rgb c = colourAt(column, row);
            pixels[column * 4] = c.b;
            pixels[column * 4 + 1] = c.g;
            pixels[column * 4 + 2] = c.r;
        }
    }
}

}  // namespace

Rgb patternAt(int x, int y) {
    return {static_cast<uint8_t>(x & 0xFF), static_cast<uint8_t>(y & 0xFF),
            static_cast<uint8_t>(((x >> 8) & 0x0F) << 4 | ((y >> 8) & 0x0F))};
}

VirtualDisplay::VirtualDisplay(std::vector<MonitorLayout> monitors,
                               std::vector<std::string> serverOptions)
    : monitors_(std::move(monitors)) {
    for (const MonitorLayout& m : monitors_) {
        rootWidth_ = std::max(rootWidth_, m.x + m.width);
        rootHeight_ = std::max(rootHeight_, m.y + m.height);
    }
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const std::string size = std::to_string(rootWidth_) + "x" + std::to_string(rootHeight_) + "x24";
    const char* path = std::getenv("PATH");
    // The write end is inherited by Xvfb under its own number.
    std::vector<std::string> command{
        "Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",  size, "-nolisten",
        "tcp",  "-noreset",   "+extension",           "RANDR",   "-ac"};
    command.insert(command.end(), serverOptions.begin(), serverOptions.end());
    server_ = std::make_unique<ChildProcess>(command,
                                             Environment{{"PATH", path ? path : "/usr/bin:/bin"}});
    close(fds[1]);
    name_ = ":" + readDisplayNumber(fds[0]);
    close(fds[0]);

    for (size_t i = 0; i < monitors_.size(); ++i) {
        const MonitorLayout& m = monitors_[i];
        const std::string geometry = std::to_string(m.width) + "/" + std::to_string(m.width / 4) +
                                     "x" + std::to_string(m.height) + "/" +
                                     std::to_string(m.height / 4) + "+" + std::to_string(m.x) +
                                     "+" + std::to_string(m.y);
        run({"xrandr", "--setmonitor", (i == 0 ? "*" : "") + m.name, geometry,
             i == 0 ? "screen" : "none"});
    }
    paintPattern();
}

VirtualDisplay::~VirtualDisplay() {
    stop();
}

void VirtualDisplay::stop() {
    if (!server_) return;
    server_->kill(SIGTERM);
    server_->wait(std::chrono::seconds(5));
    server_.reset();
}

int VirtualDisplay::run(const std::vector<std::string>& argv) const {
    const char* path = std::getenv("PATH");
    return runProcess(argv, {{"PATH", path ? path : "/usr/bin:/bin"}, {"DISPLAY", name_}})
        .exitStatus;
}

void VirtualDisplay::paintPattern() const {
    const Image image = Image::allocate(rootWidth_, rootHeight_);
    paintRect(image, 0, 0, rootWidth_, rootHeight_, patternAt);
    tools::setRootBackground(name_, image);
}

std::vector<VirtualDisplay::TopLevelWindow> VirtualDisplay::topLevelWindows() const {
    Connection connection(name_);
    xcb_connection_t* c = connection.handle;
    std::vector<TopLevelWindow> windows;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(c, xcb_query_tree(c, connection.screen->root), nullptr);
    if (!tree) return windows;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr);
        if (attributes && geometry) {
            windows.push_back({attributes->override_redirect != 0,
                               attributes->map_state == XCB_MAP_STATE_VIEWABLE, geometry->width,
                               geometry->height});
        }
        free(attributes);
        free(geometry);
    }
    free(tree);
    return windows;
}

int VirtualDisplay::viewableOverlayWindows() const {
    const auto windows = topLevelWindows();
    return static_cast<int>(
        std::count_if(windows.begin(), windows.end(),
                      [](const TopLevelWindow& w) { return w.overrideRedirect && w.viewable; }));
}

bool VirtualDisplay::keyboardIsGrabbed() const {
    Connection connection(name_);
    xcb_connection_t* c = connection.handle;
    xcb_grab_keyboard_reply_t* reply =
        xcb_grab_keyboard_reply(c,
                                xcb_grab_keyboard(c, 0, connection.screen->root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr);
    const bool grabbedElsewhere = reply && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    free(reply);
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    xcb_flush(c);
    return grabbedElsewhere;
}

void VirtualDisplay::xdotool(const std::vector<std::string>& arguments) const {
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    if (run(command) != 0) throw std::runtime_error("xdotool failed");
}

}  // namespace tavelin::testing_support
