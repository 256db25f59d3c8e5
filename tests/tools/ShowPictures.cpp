// Fullscreen windows showing pictures at native pixels, one per screen, for tests on desktops
// that have no background of their own to show known content with (GNOME Shell).
// Usage: tavelin-show-pictures SCREEN=PNG...
// Prints "shown" once the compositor has presented every window at its screen's scale.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

class PictureWindow : public QRasterWindow {
public:
    PictureWindow(QImage picture, std::function<void()> onPresented)
        : picture_(std::move(picture)), onPresented_(std::move(onPresented)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        picture_.setDevicePixelRatio(devicePixelRatio());
        painter.drawImage(0, 0, picture_);
        paintedAtScale_ = devicePixelRatio() == screen()->devicePixelRatio();
        // The next frame callback tells that this frame is on the screen.
        if (paintedAtScale_ && onPresented_) requestUpdate();
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest && paintedAtScale_ && onPresented_) {
            std::exchange(onPresented_, nullptr)();
            return true;
        }
        return QRasterWindow::event(event);
    }

private:
    QImage picture_;
    std::function<void()> onPresented_;
    bool paintedAtScale_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    std::vector<std::unique_ptr<PictureWindow>> windows;
    size_t waiting = 0;
    const auto presented = [&waiting] {
        if (--waiting == 0) {
            std::printf("shown\n");
            std::fflush(stdout);
        }
    };
    for (int index = 1; index < argc; ++index) {
        const QStringList parts = QString(argv[index]).split('=');
        QScreen* screen = nullptr;
        for (QScreen* candidate : QGuiApplication::screens()) {
            if (parts.size() == 2 && candidate->name() == parts[0]) screen = candidate;
        }
        const QImage picture(parts.value(1));
        if (!screen || picture.isNull()) {
            std::fprintf(stderr, "no screen or picture for %s\n", argv[index]);
            return 2;
        }
        auto& window = windows.emplace_back(std::make_unique<PictureWindow>(picture, presented));
        ++waiting;
        window->setScreen(screen);
        window->setGeometry(screen->geometry());
        window->showFullScreen();
    }
    return application.exec();
}
