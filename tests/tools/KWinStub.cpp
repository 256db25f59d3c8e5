// A stand-in for KWin's screenshot interface on a compositor that has none: "serve" answers
// each call with the picture's size and format, then writes the output's pixels (copied from the
// compositor, sent in the toolkit's RGBA8888 premultiplied format) into the caller's pipe from
// another thread, as KWin does; "refuse" answers every call with the error KWin gives programs
// no desktop entry allows. Prints "ready" once it owns KWin's name.
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QImage>
#include <QThreadPool>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/wayland/WaylandPlatform.h"

namespace {

constexpr char kInterface[] = "org.kde.KWin.ScreenShot2";

std::shared_ptr<QImage> picture(const QDBusMessage& call) {
    if (call.member() == "CaptureArea") {
        auto pixel = std::make_shared<QImage>(1, 1, QImage::Format_RGBA8888_Premultiplied);
        pixel->fill(Qt::black);
        return pixel;
    }
    const auto options = qdbus_cast<QVariantMap>(call.arguments().value(1));
    if (call.member() != "CaptureScreen" || !options.value("native-resolution").toBool()) {
        return nullptr;
    }
    auto screenshots = tavelin::captureWaylandScreens();
    if (!screenshots) return nullptr;
    const auto found = screenshots->find(call.arguments().value(0).toString().toStdString());
    if (found == screenshots->end()) return nullptr;
    const tavelin::Image& image = found->second;
    const QImage view(image.row(0), image.width(), image.height(),
                      static_cast<qsizetype>(image.stride()), QImage::Format_ARGB32_Premultiplied);
    return std::make_shared<QImage>(view.convertToFormat(QImage::Format_RGBA8888_Premultiplied));
}

void writeAll(int fd, const uchar* bytes, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, static_cast<size_t>(size));
        if (written <= 0) break;
        bytes += written;
        size -= written;
    }
    ::close(fd);
}

class StubKWin final : public QDBusVirtualObject {
public:
    explicit StubKWin(bool serve) : serve_(serve) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& call, const QDBusConnection& connection) override {
        if (call.interface() != kInterface) return false;
        if (!serve_) {
            connection.send(
                call.createErrorReply("org.kde.KWin.ScreenShot2.Error.NoAuthorized",
                                      "The process is not authorized to take a screenshot"));
            return true;
        }
        const auto image = picture(call);
        const auto pipe = call.arguments().last().value<QDBusUnixFileDescriptor>();
        if (!image || !pipe.isValid()) {
            connection.send(call.createErrorReply("org.kde.KWin.ScreenShot2.Error.InvalidScreen",
                                                  "Invalid screen requested"));
            return true;
        }
        connection.send(call.createReply(QVariantMap{{"type", "raw"},
                                                     {"format", quint32(image->format())},
                                                     {"width", quint32(image->width())},
                                                     {"height", quint32(image->height())},
                                                     {"stride", quint32(image->bytesPerLine())},
                                                     {"scale", 1.0}}));
        const int fd = ::dup(pipe.fileDescriptor());
        QThreadPool::globalInstance()->start(
            [image, fd] { writeAll(fd, image->constBits(), image->sizeInBytes()); });
        return true;
    }

private:
    bool serve_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string manner = argc == 2 ? argv[1] : "";
    if (manner != "serve" && manner != "refuse") {
        std::fprintf(stderr, "usage: tavelin-kwin-stub serve|refuse\n");
        return 2;
    }
    QCoreApplication application(argc, argv);
    StubKWin kwin(manner == "serve");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject("/org/kde/KWin/ScreenShot2", &kwin) ||
        !bus.registerService(kInterface)) {
        std::fprintf(stderr, "cannot own KWin's name\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return application.exec();
}
