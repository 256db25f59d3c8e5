// Overlay windows as layer surfaces through layer-shell-qt: the library gives a window its role
// when the toolkit makes the window's surface, and the toolkit keeps its own shell for the rest.
#include <LayerShellQt/Window>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "LayerShellOverlay.h"

namespace tavelin {

// The library keeps everything a window's role needs with the window.
struct LayerShellOverlay::Protocol {};

LayerShellOverlay::LayerShellOverlay(std::unique_ptr<Protocol> protocol)
    : protocol_(std::move(protocol)) {}

LayerShellOverlay::~LayerShellOverlay() = default;

std::unique_ptr<LayerShellOverlay> LayerShellOverlay::bind() {
    return std::unique_ptr<LayerShellOverlay>(new LayerShellOverlay(std::make_unique<Protocol>()));
}

void LayerShellOverlay::show(QWidget& window, QScreen& screen) const {
    using Layer = LayerShellQt::Window;
    window.winId();
    // The library puts the surface on the window's screen (its default, which later releases
    // keep as their only way without naming it).
    window.windowHandle()->setScreen(&screen);
    window.setGeometry(screen.geometry());
    Layer* layer = Layer::get(window.windowHandle());
    layer->setLayer(Layer::LayerOverlay);
    layer->setAnchors(Layer::Anchors(Layer::AnchorTop | Layer::AnchorBottom | Layer::AnchorLeft |
                                     Layer::AnchorRight));
    layer->setExclusiveZone(-1);  // over panels, not beside them
    layer->setKeyboardInteractivity(Layer::KeyboardInteractivityExclusive);
    layer->setScope(QStringLiteral("tavelin-capture"));
    window.show();
}

}  // namespace tavelin
