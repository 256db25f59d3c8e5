// The floor of an overlay's freeze: the smallest toolkit program that maps what the overlay
// maps, one frameless window per screen bypassing the window manager (on Wayland: fullscreen on
// its output), each painting a prepared image of its screen's size. It captures nothing and
// stays until it is killed.
//
// With --capture (X11) it paints the screens instead, captured by the overlay's own capture on a
// worker thread while the toolkit starts: what any overlay that freezes the screens costs at
// least, with no selection, labels or toolbar.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstring>
#include <future>
#include <memory>
#include <vector>

#include "platform/x11/X11Capture.h"
#include "ui/overlay/QtImage.h"

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

QImage preparedImage(QSize pixels) {
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(40, 40, 40));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    const bool capturing = argc > 1 && std::strcmp(argv[argc - 1], "--capture") == 0;
    std::future<tavelin::Result<tavelin::ScreenshotMap, tavelin::CaptureFailure>> capture;
    if (capturing) {
        capture =
            std::async(std::launch::async, [] { return tavelin::captureAllDisplays(stderr); });
        --argc;  // not the toolkit's
    }
    QApplication application(argc, argv);
    tavelin::ScreenshotMap screenshots;
    if (capturing) {
        auto captured = capture.get();
        if (!captured) return 1;
        screenshots = std::move(*captured);
    }
    std::vector<std::unique_ptr<ImageWindow>> windows;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
        const auto shot = screenshots.find(screen->name().toStdString());
        QImage image =
            shot == screenshots.end() ? preparedImage(pixels) : tavelin::wrapImage(shot->second);
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
