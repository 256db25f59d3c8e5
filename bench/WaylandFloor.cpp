// The least a Wayland client needs to freeze the screens the way the overlay does, in plain
// libwayland: every output copied through wlr-screencopy into shared memory, then one surface
// per output on the overlay layer (taking the keyboard) showing its copy under the same 40%
// black scrim, dimmed in place and attached as it is. With --prepared it skips the capture and
// shows a grey image instead. Runs until a key is pressed or it is killed. A floor to time the
// program against, not a tool: any failure ends it with status 1.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#define namespace surfaceNamespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

namespace {

[[noreturn]] void die(const char* why) {
    std::fprintf(stderr, "wayland_floor: %s\n", why);
    std::exit(1);
}

struct Pixels {
    wl_buffer* buffer = nullptr;
    uint8_t* data = nullptr;
    int width = 0, height = 0, stride = 0;
    uint32_t format = WL_SHM_FORMAT_XRGB8888;
};

Pixels sharedPixels(wl_shm* shm, uint32_t format, int width, int height, int stride) {
    const size_t size = size_t(stride) * size_t(height);
    const int fd = memfd_create("wayland-floor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(size)) != 0) die("no shared memory");
    void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) die("no shared memory");
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(size));
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
    wl_shm_pool_destroy(pool);
    close(fd);
    return {buffer, static_cast<uint8_t*>(data), width, height, stride, format};
}

struct Output {
    wl_shm* shm = nullptr;
    wl_output* output = nullptr;
    int32_t scale = 1;
    int32_t width = 0, height = 0;  // the current mode, in native pixels
    Pixels pixels;
    bool captured = false, yInverted = false;
    zwlr_screencopy_frame_v1* frame = nullptr;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    bool shown = false;
};

struct Client {
    wl_seat* seat = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_screencopy_manager_v1* screencopy = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    std::deque<Output> outputs;
};

template <typename T>
T* bind(wl_registry* registry, uint32_t name, const wl_interface& interface, uint32_t version) {
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, version));
}

const wl_output_listener kOutputListener = {
    .geometry = [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                   const char*, int32_t) {},
    .mode =
        [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
            if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
            static_cast<Output*>(data)->width = width;
            static_cast<Output*>(data)->height = height;
        },
    .done = [](void*, wl_output*) {},
    .scale = [](void* data, wl_output*, int32_t scale) { static_cast<Output*>(data)->scale = scale; },
#ifdef WL_OUTPUT_NAME_SINCE_VERSION
    .name = [](void*, wl_output*, const char*) {},
    .description = [](void*, wl_output*, const char*) {},
#endif
};

const wl_registry_listener kRegistryListener = {
    .global =
        [](void* data, wl_registry* registry, uint32_t name, const char* interface,
           uint32_t version) {
            Client& client = *static_cast<Client*>(data);
            if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
                client.compositor = bind<wl_compositor>(registry, name, wl_compositor_interface, 4);
            } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
                client.shm = bind<wl_shm>(registry, name, wl_shm_interface, 1);
            } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
                client.screencopy = bind<zwlr_screencopy_manager_v1>(
                    registry, name, zwlr_screencopy_manager_v1_interface, std::min(version, 3u));
            } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
                client.layerShell = bind<zwlr_layer_shell_v1>(
                    registry, name, zwlr_layer_shell_v1_interface, std::min(version, 3u));
            } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
                client.seat = bind<wl_seat>(registry, name, wl_seat_interface, 1);
            } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
                Output& output = client.outputs.emplace_back();
                output.output = bind<wl_output>(registry, name, wl_output_interface, 2);
                wl_output_add_listener(output.output, &kOutputListener, &output);
            }
        },
    .global_remove = [](void*, wl_registry*, uint32_t) {},
};

// What the scrim does to a colour channel: black at 40% over it.
void dimInPlace(Pixels& pixels) {
    for (int y = 0; y < pixels.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(pixels.data + size_t(y) * size_t(pixels.stride));
        for (int x = 0; x < pixels.width; ++x) {
            const uint32_t p = row[x];
            const auto dim = [](uint32_t channel) { return (channel * 39322u + 32768u) >> 16; };
            row[x] = 0xff000000u | dim((p >> 16) & 0xff) << 16 | dim((p >> 8) & 0xff) << 8 |
                     dim(p & 0xff);
        }
    }
}

void flipRows(Pixels& pixels) {
    std::string row(size_t(pixels.stride), '\0');
    for (int top = 0, bottom = pixels.height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = pixels.data + size_t(top) * size_t(pixels.stride);
        uint8_t* b = pixels.data + size_t(bottom) * size_t(pixels.stride);
        std::memcpy(row.data(), a, row.size());
        std::memcpy(a, b, row.size());
        std::memcpy(b, row.data(), row.size());
    }
}

const zwlr_screencopy_frame_v1_listener kFrameListener = {
    .buffer =
        [](void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width,
           uint32_t height, uint32_t stride) {
            Output& output = *static_cast<Output*>(data);
            output.pixels = sharedPixels(output.shm, format, int(width), int(height), int(stride));
            // Before version 3 no list of buffer kinds follows: this one is the offer.
            if (zwlr_screencopy_frame_v1_get_version(frame) < 3) {
                zwlr_screencopy_frame_v1_copy(frame, output.pixels.buffer);
            }
        },
    .flags =
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
            static_cast<Output*>(data)->yInverted = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
        },
    .ready =
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {
            static_cast<Output*>(data)->captured = true;
        },
    .failed = [](void*, zwlr_screencopy_frame_v1*) { die("the compositor failed a copy"); },
    .damage = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .linux_dmabuf = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {},
    .buffer_done =
        [](void* data, zwlr_screencopy_frame_v1* frame) {
            zwlr_screencopy_frame_v1_copy(frame, static_cast<Output*>(data)->pixels.buffer);
        },
};

// A key pressed on the overlay ends the run, as Escape does the program's.
const wl_keyboard_listener kKeyboardListener = {
    .keymap = [](void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); },
    .enter = [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
    .leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
    .key =
        [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
            if (state == WL_KEYBOARD_KEY_STATE_PRESSED) std::exit(0);
        },
    .modifiers = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
#ifdef WL_KEYBOARD_REPEAT_INFO_SINCE_VERSION
    .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
#endif
};

const zwlr_layer_surface_v1_listener kLayerListener = {
    .configure =
        [](void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t, uint32_t) {
            Output& output = *static_cast<Output*>(data);
            zwlr_layer_surface_v1_ack_configure(layer, serial);
            if (output.shown) return;
            wl_surface_set_buffer_scale(output.surface, output.scale);
            wl_surface_attach(output.surface, output.pixels.buffer, 0, 0);
            wl_surface_damage(output.surface, 0, 0, INT32_MAX, INT32_MAX);
            wl_surface_commit(output.surface);
            output.shown = true;
        },
    .closed = [](void*, zwlr_layer_surface_v1*) { std::exit(0); },
};

}  // namespace

int main(int argc, char** argv) {
    const bool prepared = argc == 2 && std::strcmp(argv[1], "--prepared") == 0;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) die("no compositor");
    Client client;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &client);
    wl_display_roundtrip(display);
    if (!client.compositor || !client.shm || !client.layerShell ||
        (!prepared && !client.screencopy)) {
        die("the compositor lacks a protocol this needs");
    }
    // The outputs' modes and scales arrive with their first events.
    wl_display_roundtrip(display);
    if (client.seat) wl_keyboard_add_listener(wl_seat_get_keyboard(client.seat), &kKeyboardListener, nullptr);

    for (Output& output : client.outputs) {
        output.shm = client.shm;
        if (prepared) continue;
        output.frame = zwlr_screencopy_manager_v1_capture_output(client.screencopy, 0, output.output);
        zwlr_screencopy_frame_v1_add_listener(output.frame, &kFrameListener, &output);
    }
    const auto allCaptured = [&] {
        return std::all_of(client.outputs.begin(), client.outputs.end(),
                           [](const Output& output) { return output.captured; });
    };
    while (!prepared && !allCaptured()) {
        if (wl_display_dispatch(display) < 0) die("the compositor went away");
    }

    for (Output& output : client.outputs) {
        if (prepared) {
            // The prepared image: dark grey, of the size the capture would have.
            output.pixels = sharedPixels(client.shm, WL_SHM_FORMAT_XRGB8888, output.width,
                                         output.height, output.width * 4);
            std::memset(output.pixels.data, 40,
                        size_t(output.pixels.stride) * size_t(output.pixels.height));
        } else {
            if (output.yInverted) flipRows(output.pixels);
            dimInPlace(output.pixels);
        }
        output.surface = wl_compositor_create_surface(client.compositor);
        output.layer = zwlr_layer_shell_v1_get_layer_surface(
            client.layerShell, output.surface, output.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
            "wayland-floor");
        zwlr_layer_surface_v1_add_listener(output.layer, &kLayerListener, &output);
        zwlr_layer_surface_v1_set_anchor(output.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_exclusive_zone(output.layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(output.layer, 1);
        wl_surface_commit(output.surface);
    }
    while (wl_display_dispatch(display) >= 0) {
    }
    die("the compositor went away");
}
