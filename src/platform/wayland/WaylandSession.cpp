#include "WaylandSession.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "LayerShellProtocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace tavelin {
namespace {

constexpr uint32_t kOutputVersion = 4;
constexpr uint32_t kXdgOutputVersion = 3;
constexpr uint32_t kScreencopyVersion = 3;
constexpr uint32_t kCompositorVersion = 4;
constexpr uint32_t kSeatVersion = 5;

bool isQuarterTurn(int32_t transform) {
    return transform & WL_OUTPUT_TRANSFORM_90;  // 90, 270 and their flipped forms
}

WaylandOutput& outputOf(void* data) {
    return *static_cast<WaylandOutput*>(data);
}

const wl_output_listener kOutputListener = {
    .geometry =
        [](void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
           const char* make, const char* model, int32_t transform) {
            WaylandOutput& output = outputOf(data);
            if (!output.hasLogicalFrame) {
                output.logicalX = x;
                output.logicalY = y;
            }
            output.make = make ? make : "";
            output.model = model ? model : "";
            output.transform = transform;
        },
    .mode =
        [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
            if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
            outputOf(data).pixelWidth = width;
            outputOf(data).pixelHeight = height;
        },
    .done = [](void*, wl_output*) {},
    .scale = [](void* data, wl_output*, int32_t factor) { outputOf(data).scale = factor; },
    .name = [](void* data, wl_output*, const char* name) { outputOf(data).name = name; },
    .description = [](void* data, wl_output*,
                      const char* description) { outputOf(data).description = description; },
};

const zxdg_output_v1_listener kXdgOutputListener = {
    .logical_position =
        [](void* data, zxdg_output_v1*, int32_t x, int32_t y) {
            WaylandOutput& output = outputOf(data);
            output.logicalX = x;
            output.logicalY = y;
            output.hasLogicalFrame = true;
        },
    .logical_size =
        [](void* data, zxdg_output_v1*, int32_t width, int32_t height) {
            outputOf(data).logicalWidth = width;
            outputOf(data).logicalHeight = height;
        },
    .done = [](void*, zxdg_output_v1*) {},
    .name =
        [](void* data, zxdg_output_v1*, const char* name) {
            // wl_output 4 says the same; xdg-output also names outputs of older compositors.
            if (outputOf(data).name.empty()) outputOf(data).name = name;
        },
    .description =
        [](void* data, zxdg_output_v1*, const char* description) {
            if (outputOf(data).description.empty()) outputOf(data).description = description;
        },
};

const wl_seat_listener kSeatListener = {
    .capabilities = [](void* data, wl_seat*,
                       uint32_t capabilities) { *static_cast<uint32_t*>(data) = capabilities; },
    .name = [](void*, wl_seat*, const char*) {},
};

}  // namespace

std::unique_ptr<WaylandSession> WaylandSession::connect() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return nullptr;
    std::unique_ptr<WaylandSession> session(new WaylandSession);
    session->display_.reset(display);
    static const wl_registry_listener listener = {.global = &WaylandSession::global,
                                                  .global_remove = &WaylandSession::globalRemove};
    session->registry_ = wl_display_get_registry(display);
    wl_registry_add_listener(session->registry_, &listener, session.get());
    // The first roundtrip announces the globals, the second their outputs' descriptions.
    if (!session->roundtrip()) return nullptr;
    session->describeOutputs();
    if (!session->roundtrip()) return nullptr;
    session->completeOutputs();
    return session;
}

WaylandSession::~WaylandSession() {
    for (WaylandOutput& output : outputs_) {
        if (output.xdgOutput) zxdg_output_v1_destroy(output.xdgOutput);
        if (wl_output_get_version(output.handle) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
            wl_output_release(output.handle);
        } else {
            wl_output_destroy(output.handle);
        }
    }
    if (screencopy_) zwlr_screencopy_manager_v1_destroy(screencopy_);
    if (layerShell_) zwlr_layer_shell_v1_destroy(layerShell_);
    if (seat_) {
        if (wl_seat_get_version(seat_) >= WL_SEAT_RELEASE_SINCE_VERSION) {
            wl_seat_release(seat_);
        } else {
            wl_seat_destroy(seat_);
        }
    }
    if (compositor_) wl_compositor_destroy(compositor_);
    if (xdgOutputs_) zxdg_output_manager_v1_destroy(xdgOutputs_);
    if (shm_) wl_shm_destroy(shm_);
    if (registry_) wl_registry_destroy(registry_);
}

bool WaylandSession::roundtrip() {
    return wl_display_roundtrip(display_.get()) >= 0;
}

bool WaylandSession::roundtrip(std::chrono::milliseconds bound) {
    static const wl_callback_listener listener = {
        .done = [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; },
    };
    bool answered = false;
    wl_callback* callback = wl_display_sync(display_.get());
    wl_callback_add_listener(callback, &listener, &answered);
    std::string failure;
    dispatchUntil([&answered] { return answered; }, bound, failure);
    wl_callback_destroy(callback);
    return answered;
}

bool WaylandSession::dispatchUntil(const std::function<bool()>& isDone,
                                   std::chrono::milliseconds timeout, std::string& failure) {
    wl_display* display = display_.get();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!isDone()) {
        if (wl_display_dispatch_pending(display) < 0) break;
        if (isDone()) return true;
        while (wl_display_prepare_read(display) != 0) wl_display_dispatch_pending(display);
        wl_display_flush(display);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd descriptor{wl_display_get_fd(display), POLLIN, 0};
        const int ready = left.count() > 0 ? poll(&descriptor, 1, int(left.count())) : 0;
        if (ready <= 0) {
            wl_display_cancel_read(display);
            if (ready < 0 && errno == EINTR) continue;
            failure = "the compositor did not answer";
            return false;
        }
        if (wl_display_read_events(display) < 0) break;
    }
    if (isDone()) return true;
    failure = "lost the connection to the compositor";
    return false;
}

void WaylandSession::global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                            uint32_t version) {
    auto& session = *static_cast<WaylandSession*>(data);
    const auto bind = [&](const wl_interface* type, uint32_t newest) {
        return wl_registry_bind(registry, name, type, std::min(version, newest));
    };
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        WaylandOutput& output = session.outputs_.emplace_back();
        output.globalName = name;
        output.handle = static_cast<wl_output*>(bind(&wl_output_interface, kOutputVersion));
        wl_output_add_listener(output.handle, &kOutputListener, &output);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        session.shm_ = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        session.xdgOutputs_ = static_cast<zxdg_output_manager_v1*>(
            bind(&zxdg_output_manager_v1_interface, kXdgOutputVersion));
    } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
        session.screencopy_ = static_cast<zwlr_screencopy_manager_v1*>(
            bind(&zwlr_screencopy_manager_v1_interface, kScreencopyVersion));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        session.layerShell_ = static_cast<zwlr_layer_shell_v1*>(
            bind(&zwlr_layer_shell_v1_interface, kLayerShellVersion));
    } else if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        session.compositor_ =
            static_cast<wl_compositor*>(bind(&wl_compositor_interface, kCompositorVersion));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !session.seat_) {
        // The first seat: the one a desktop has.
        session.seat_ = static_cast<wl_seat*>(bind(&wl_seat_interface, kSeatVersion));
        wl_seat_add_listener(session.seat_, &kSeatListener, &session.seatCapabilities_);
    }
}

void WaylandSession::globalRemove(void*, wl_registry*, uint32_t) {
    // Outputs are read once per stage; a removed one fails its capture and is reported then.
}

void WaylandSession::describeOutputs() {
    for (WaylandOutput& output : outputs_) {
        if (!xdgOutputs_) continue;
        output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(xdgOutputs_, output.handle);
        zxdg_output_v1_add_listener(output.xdgOutput, &kXdgOutputListener, &output);
    }
}

// Modes are in the panel's own orientation; a turned output shows them the other way round.
// Without xdg-output the layout size follows from the mode and the integer scale.
void WaylandSession::completeOutputs() {
    for (WaylandOutput& output : outputs_) {
        if (isQuarterTurn(output.transform)) std::swap(output.pixelWidth, output.pixelHeight);
        if (output.logicalWidth <= 0 || output.logicalHeight <= 0) {
            const int32_t scale = std::max(output.scale, 1);
            output.logicalWidth = output.pixelWidth / scale;
            output.logicalHeight = output.pixelHeight / scale;
        }
    }
}

}  // namespace tavelin
