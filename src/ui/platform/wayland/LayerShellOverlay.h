#pragma once

#include <memory>

class QScreen;
class QWidget;

namespace tavelin {

// Overlay windows as layer surfaces, on the toolkit's own connection. Built with layer-shell-qt
// (Qt 6 builds of it exist from Debian 13 on), the library gives each window its role; without
// it the toolkit runs without a shell of its own (WaylandBackend.cpp), drawing into a window's
// surface as soon as the window is shown, and the role comes from here before its first frame.
class LayerShellOverlay {
public:
    // Whether the toolkit keeps its own shell, the layer role coming through it.
    static constexpr bool kToolkitHasTheShell = TAVELIN_LAYER_SHELL_QT;

    // The overlay on the running toolkit's connection; null where the layer shell is not offered.
    static std::unique_ptr<LayerShellOverlay> bind();
    ~LayerShellOverlay();
    LayerShellOverlay(const LayerShellOverlay&) = delete;
    LayerShellOverlay& operator=(const LayerShellOverlay&) = delete;

    // Shows `window` on the overlay layer of `screen`'s output, over panels and fullscreen
    // windows, covering the whole output and holding the keyboard.
    void show(QWidget& window, QScreen& screen) const;

private:
    struct Protocol;  // what the way of giving the role needs to keep
    explicit LayerShellOverlay(std::unique_ptr<Protocol> protocol);

    std::unique_ptr<Protocol> protocol_;
};

}  // namespace tavelin
