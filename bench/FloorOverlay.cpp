// The floor of an overlay's freeze: the smallest toolkit program that maps what the overlay
// maps, one frameless window per screen bypassing the window manager (on Wayland: fullscreen on
// its output), each painting a prepared image of its screen's size. It captures nothing and
// stays until it is killed.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <vector>

namespace {

class ImageWindow final : public QWidget {
public:
    explicit ImageWindow(QImage image) : image_(std::move(image)) {
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                       Qt::BypassWindowManagerHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image_); }

private:
    QImage image_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::vector<std::unique_ptr<ImageWindow>> windows;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(40, 40, 40));
        image.setDevicePixelRatio(screen->devicePixelRatio());
        auto& window = windows.emplace_back(std::make_unique<ImageWindow>(std::move(image)));
        window->winId();
        window->windowHandle()->setScreen(screen);
        window->setGeometry(screen->geometry());
        // A Wayland client cannot place a window; it can ask for one fullscreen on an output.
        if (QGuiApplication::platformName() == "wayland") {
            window->showFullScreen();
        } else {
            window->show();
        }
    }
    return application.exec();
}
