#include "LayerShellOverlay.h"

#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstring>
#include <deque>

#include "platform/wayland/LayerShellProtocol.h"

namespace tavelin {
namespace {

constexpr int kConfigureRoundtrips = 10;

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) != 0) return;
    *static_cast<zwlr_layer_shell_v1**>(data) = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
        registry, name, &zwlr_layer_shell_v1_interface, std::min(version, kLayerShellVersion)));
}

void globalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {.global = global, .global_remove = globalRemove};

// The window keeps the output's size, which is what the surface is configured to, so an
// acknowledgement is all a configure needs.
void configure(void* data, zwlr_layer_surface_v1* surface, uint32_t serial, uint32_t, uint32_t) {
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    *static_cast<bool*>(data) = true;
}

void destroyRole(zwlr_layer_surface_v1*& surface) {
    if (surface) zwlr_layer_surface_v1_destroy(surface);
    surface = nullptr;
}

// The output went away; so does the surface, and the run notices the missing screen itself.
void closed(void*, zwlr_layer_surface_v1*) {}

const zwlr_layer_surface_v1_listener kSurfaceListener = {.configure = configure, .closed = closed};

// A window's role; dropped when the window hides, before the toolkit destroys its surface.
struct Placement {
    zwlr_layer_surface_v1* surface = nullptr;
    bool configured = false;
};

}  // namespace

struct LayerShellOverlay::Protocol {
    wl_display* display = nullptr;  // the toolkit's
    // Our objects' events arrive on a queue of our own, so the toolkit never dispatches them
    // and we can wait for a configure without running its event loop.
    wl_event_queue* queue = nullptr;
    wl_display* displayOnQueue = nullptr;
    wl_registry* registry = nullptr;
    zwlr_layer_shell_v1* shell = nullptr;
    std::deque<Placement> placements;  // a deque: listeners hold pointers into it

    ~Protocol() {
        for (Placement& placement : placements) destroyRole(placement.surface);
        if (shell) zwlr_layer_shell_v1_destroy(shell);
        if (registry) wl_registry_destroy(registry);
        if (displayOnQueue) wl_proxy_wrapper_destroy(displayOnQueue);
        if (queue) wl_event_queue_destroy(queue);
    }
};

LayerShellOverlay::LayerShellOverlay(std::unique_ptr<Protocol> protocol)
    : protocol_(std::move(protocol)) {}

LayerShellOverlay::~LayerShellOverlay() = default;

std::unique_ptr<LayerShellOverlay> LayerShellOverlay::bind() {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* display =
        native ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"))
               : nullptr;
    if (!display) return nullptr;
    auto protocol = std::make_unique<Protocol>();
    protocol->display = display;
    protocol->queue = wl_display_create_queue(display);
    protocol->displayOnQueue = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(protocol->displayOnQueue), protocol->queue);
    protocol->registry = wl_display_get_registry(protocol->displayOnQueue);
    wl_registry_add_listener(protocol->registry, &kRegistryListener, &protocol->shell);
    if (wl_display_roundtrip_queue(display, protocol->queue) < 0 || !protocol->shell) {
        return nullptr;
    }
    return std::unique_ptr<LayerShellOverlay>(new LayerShellOverlay(std::move(protocol)));
}

void LayerShellOverlay::show(QWidget& window, QScreen& screen) const {
    // The native window, and with it the surface, exists from here on; the toolkit draws into it
    // only once it is shown.
    window.winId();
    window.windowHandle()->setScreen(&screen);
    window.setGeometry(screen.geometry());
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* surface =
        static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window.windowHandle()));
    auto* output = static_cast<wl_output*>(native->nativeResourceForScreen("output", &screen));

    Placement& placement = protocol_->placements.emplace_back();
    placement.surface = zwlr_layer_shell_v1_get_layer_surface(
        protocol_->shell, surface, output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "tavelin-capture");
    zwlr_layer_surface_v1_add_listener(placement.surface, &kSurfaceListener, &placement.configured);
    zwlr_layer_surface_v1_set_anchor(placement.surface, kLayerShellAllEdges);
    zwlr_layer_surface_v1_set_exclusive_zone(placement.surface, -1);  // over panels, not beside
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        placement.surface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    wl_surface_commit(surface);
    // The first frame may only follow the first configure, which answers the commit. A broken
    // connection ends the wait, and so does a compositor that never configures, rather than the
    // run hanging; the toolkit reports what follows.
    for (int roundtrips = 0; !placement.configured && roundtrips < kConfigureRoundtrips;
         ++roundtrips) {
        if (wl_display_roundtrip_queue(protocol_->display, protocol_->queue) < 0) break;
    }
    QObject::connect(window.windowHandle(), &QWindow::visibleChanged, [&placement](bool visible) {
        if (!visible) destroyRole(placement.surface);
    });
    window.show();
}

}  // namespace tavelin
