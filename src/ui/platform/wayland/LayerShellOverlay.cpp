#include "LayerShellOverlay.h"

#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstring>

// The protocol names an argument "namespace", a C++ keyword.
#define namespace surfaceNamespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

namespace tavelin {
namespace {

constexpr uint32_t kLayerShellVersion = 3;
constexpr int kConfigureRoundtrips = 10;
constexpr uint32_t kAllEdges =
    ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) != 0) return;
    *static_cast<zwlr_layer_shell_v1**>(data) = static_cast<zwlr_layer_shell_v1*>(
        wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface,
                         std::min(version, kLayerShellVersion)));
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

}  // namespace

std::unique_ptr<LayerShellOverlay> LayerShellOverlay::bind() {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* display = native ? static_cast<wl_display*>(
                                 native->nativeResourceForIntegration("wl_display"))
                           : nullptr;
    if (!display) return nullptr;
    std::unique_ptr<LayerShellOverlay> overlay(new LayerShellOverlay);
    overlay->display_ = display;
    overlay->queue_ = wl_display_create_queue(display);
    overlay->displayOnQueue_ = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(overlay->displayOnQueue_), overlay->queue_);
    overlay->registry_ = wl_display_get_registry(overlay->displayOnQueue_);
    wl_registry_add_listener(overlay->registry_, &kRegistryListener, &overlay->shell_);
    if (wl_display_roundtrip_queue(display, overlay->queue_) < 0 || !overlay->shell_) {
        return nullptr;
    }
    return overlay;
}

LayerShellOverlay::~LayerShellOverlay() {
    for (Placement& placement : placements_) destroyRole(placement.surface);
    if (shell_) zwlr_layer_shell_v1_destroy(shell_);
    if (registry_) wl_registry_destroy(registry_);
    if (displayOnQueue_) wl_proxy_wrapper_destroy(displayOnQueue_);
    if (queue_) wl_event_queue_destroy(queue_);
}

void LayerShellOverlay::show(QWidget& window, QScreen& screen) const {
    // The native window, and with it the surface, exists from here on; the toolkit draws into it
    // only once it is shown.
    window.winId();
    window.windowHandle()->setScreen(&screen);
    window.setGeometry(screen.geometry());
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* surface = static_cast<wl_surface*>(
        native->nativeResourceForWindow("surface", window.windowHandle()));
    auto* output = static_cast<wl_output*>(native->nativeResourceForScreen("output", &screen));

    Placement& placement = placements_.emplace_back();
    placement.surface = zwlr_layer_shell_v1_get_layer_surface(
        shell_, surface, output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "tavelin-capture");
    zwlr_layer_surface_v1_add_listener(placement.surface, &kSurfaceListener, &placement.configured);
    zwlr_layer_surface_v1_set_anchor(placement.surface, kAllEdges);
    zwlr_layer_surface_v1_set_exclusive_zone(placement.surface, -1);  // over panels, not beside
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        placement.surface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    wl_surface_commit(surface);
    // The first frame may only follow the first configure, which answers the commit. A broken
    // connection ends the wait, and so does a compositor that never configures, rather than the
    // run hanging; the toolkit reports what follows.
    for (int roundtrips = 0; !placement.configured && roundtrips < kConfigureRoundtrips;
         ++roundtrips) {
        if (wl_display_roundtrip_queue(display_, queue_) < 0) break;
    }
    QObject::connect(window.windowHandle(), &QWindow::visibleChanged, [&placement](bool visible) {
        if (!visible) destroyRole(placement.surface);
    });
    window.show();
}

}  // namespace tavelin
