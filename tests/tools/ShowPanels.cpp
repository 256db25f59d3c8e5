// A panel as desktops have one: a layer surface on the top layer along the primary screen's top
// edge, 40 points high, keeping that room from other windows, painted green. Built where
// layer-shell-qt is. Prints "shown" once the compositor has presented it.
#include <LayerShellQt/Window>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <cstdio>
#include <functional>
#include <utility>

namespace {

constexpr int kHeight = 40;

class Panel : public QRasterWindow {
public:
    explicit Panel(std::function<void()> onPresented) : onPresented_(std::move(onPresented)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(QPoint(), size()), Qt::green);
        // The next frame callback tells that this frame is on the screen.
        if (onPresented_) requestUpdate();
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest && onPresented_) {
            std::exchange(onPresented_, nullptr)();
            return true;
        }
        return QRasterWindow::event(event);
    }

private:
    std::function<void()> onPresented_;
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    Panel panel([] {
        std::printf("shown\n");
        std::fflush(stdout);
    });
    panel.setScreen(screen);
    panel.resize(screen->geometry().width(), kHeight);
    using Layer = LayerShellQt::Window;
    Layer* layer = Layer::get(&panel);
    layer->setLayer(Layer::LayerTop);
    layer->setAnchors(Layer::Anchors(Layer::AnchorTop | Layer::AnchorLeft | Layer::AnchorRight));
    layer->setExclusiveZone(kHeight);
    layer->setScope(QStringLiteral("panel"));
    panel.show();
    return application.exec();
}
