#pragma once

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

struct zwlr_layer_shell_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct zwlr_screencopy_manager_v1;

namespace tavelin {

// One wl_output as the compositor describes it. Logical values are in points of the compositor's
// layout (top-down); pixel sizes are the output's native resolution.
struct WaylandOutput {
    wl_output* handle = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    uint32_t globalName = 0;  // the registry's number for it; valid for this session only
    std::string name;         // the connector, e.g. "DP-1" (wl_output 4 or xdg-output)
    std::string description;
    std::string make;
    std::string model;
    int32_t logicalX = 0;
    int32_t logicalY = 0;
    int32_t logicalWidth = 0;
    int32_t logicalHeight = 0;
    int32_t pixelWidth = 0;  // the current mode, turned by the output's transform
    int32_t pixelHeight = 0;
    int32_t scale = 1;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    bool hasLogicalFrame = false;
};

// The output's name within a run: its connector, or the registry's number where it has none.
inline std::string screenName(const WaylandOutput& output) {
    return output.name.empty() ? std::to_string(output.globalName) : output.name;
}

struct DisplayDisconnect {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

// A connection of our own to the compositor named by $WAYLAND_DISPLAY, independent of the
// toolkit's, with the globals this program uses bound and every output described. Usable on any
// one thread at a time.
class WaylandSession {
public:
    // Null when no compositor can be reached.
    static std::unique_ptr<WaylandSession> connect();
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    wl_display* display() const { return display_.get(); }
    wl_shm* shm() const { return shm_; }
    zwlr_screencopy_manager_v1* screencopy() const { return screencopy_; }
    const std::deque<WaylandOutput>& outputs() const { return outputs_; }
    // What surfaces of this connection need: null where the compositor lacks them.
    wl_compositor* compositor() const { return compositor_; }
    zwlr_layer_shell_v1* layerShell() const { return layerShell_; }
    wl_seat* seat() const { return seat_; }
    uint32_t seatCapabilities() const { return seatCapabilities_; }  // wl_seat_capability bits
    bool offersLayerShell() const { return layerShell_ != nullptr; }
    // False once the connection has failed.
    bool roundtrip();
    // The same, giving up on a compositor silent for `bound`.
    bool roundtrip(std::chrono::milliseconds bound);
    // Handles events until `isDone` holds. Fails with a reason when the connection breaks or
    // the compositor stays silent for `timeout`.
    bool dispatchUntil(const std::function<bool()>& isDone, std::chrono::milliseconds timeout,
                       std::string& failure);

private:
    WaylandSession() = default;
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void globalRemove(void* data, wl_registry* registry, uint32_t name);
    void describeOutputs();
    void completeOutputs();

    std::unique_ptr<wl_display, DisplayDisconnect> display_;
    wl_registry* registry_ = nullptr;
    wl_shm* shm_ = nullptr;
    zxdg_output_manager_v1* xdgOutputs_ = nullptr;
    zwlr_screencopy_manager_v1* screencopy_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    wl_seat* seat_ = nullptr;
    uint32_t seatCapabilities_ = 0;
    std::deque<WaylandOutput> outputs_;  // a deque: listeners hold pointers to its elements
};

}  // namespace tavelin
