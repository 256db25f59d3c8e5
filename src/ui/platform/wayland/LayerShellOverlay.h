#pragma once

#include <deque>
#include <memory>

class QScreen;
class QWidget;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

namespace tavelin {

// Overlay windows as layer surfaces, on the toolkit's own connection. The toolkit then runs
// without a shell of its own (WaylandBackend.cpp): it draws into a window's surface as soon as
// the window is shown, and the surface's role comes from here, before its first frame.
class LayerShellOverlay {
public:
    // Binds the layer shell on the running toolkit's connection; null where it is not offered.
    static std::unique_ptr<LayerShellOverlay> bind();
    ~LayerShellOverlay();
    LayerShellOverlay(const LayerShellOverlay&) = delete;
    LayerShellOverlay& operator=(const LayerShellOverlay&) = delete;

    // Shows `window` on the overlay layer of `screen`'s output, over panels and fullscreen
    // windows, covering the whole output and holding the keyboard.
    void show(QWidget& window, QScreen& screen) const;

private:
    // A window's role; dropped when the window hides, before the toolkit destroys its surface.
    struct Placement {
        zwlr_layer_surface_v1* surface = nullptr;
        bool configured = false;
    };

    LayerShellOverlay() = default;

    wl_display* display_ = nullptr;  // the toolkit's
    // Our objects' events arrive on a queue of our own, so the toolkit never dispatches them
    // and we can wait for a configure without running its event loop.
    wl_event_queue* queue_ = nullptr;
    wl_display* displayOnQueue_ = nullptr;
    wl_registry* registry_ = nullptr;
    zwlr_layer_shell_v1* shell_ = nullptr;
    mutable std::deque<Placement> placements_;  // a deque: listeners hold pointers into it
};

}  // namespace tavelin
