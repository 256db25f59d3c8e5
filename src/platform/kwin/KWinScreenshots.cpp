// Screenshots through KWin's screenshot interface. KWin answers the call with the picture's
// size and format first, then writes its pixels into the pipe the call brought.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusUnixFileDescriptor>
#include <QImage>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "KWinPlatform.h"
#include "core/FileDescriptor.h"
#include "core/image/RawPixels.h"

namespace tavelin {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kService[] = "org.kde.KWin.ScreenShot2";
constexpr char kPath[] = "/org/kde/KWin/ScreenShot2";
constexpr char kInterface[] = "org.kde.KWin.ScreenShot2";

// Fewer round trips for a 4K picture than through the default 64 KiB; the most an unprivileged
// process may ask for.
constexpr int kPipeBytes = 1 << 20;

// The pictures come in the toolkit's image formats, whose 32-bit words lie in memory in the
// machine's byte order.
static_assert(std::endian::native == std::endian::little);

std::optional<PixelLayout> layoutOf(uint format) {
    switch (format) {
        case QImage::Format_RGB32:
            return PixelLayout::bgrx;
        case QImage::Format_ARGB32:
            return PixelLayout::bgra;
        case QImage::Format_ARGB32_Premultiplied:
            return PixelLayout::bgraPremultiplied;
        case QImage::Format_RGBX8888:
            return PixelLayout::rgbx;
        case QImage::Format_RGBA8888:
            return PixelLayout::rgba;
        case QImage::Format_RGBA8888_Premultiplied:
            return PixelLayout::rgbaPremultiplied;
        default:
            return std::nullopt;
    }
}

// One screenshot asked of KWin: its answer comes on the bus, its pixels through `pixels`.
struct ShotRequest {
    FileDescriptor pixels;
    QDBusPendingCall answer;
};

// Our end of the pipe's writing side closes here; KWin holds its own copy from the call.
std::optional<ShotRequest> ask(const char* method, QVariantList arguments,
                               std::chrono::milliseconds bound) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
    FileDescriptor readEnd(ends[0]);
    const FileDescriptor writeEnd(ends[1]);
    ::fcntl(readEnd.get(), F_SETPIPE_SZ, kPipeBytes);
    arguments << QVariant::fromValue(QDBusUnixFileDescriptor(writeEnd.get()));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    QDBusPendingCall answer =
        QDBusConnection::sessionBus().asyncCall(call, static_cast<int>(bound.count()));
    return ShotRequest{std::move(readEnd), answer};
}

// Reads `size` bytes by `deadline`; the reason when it cannot.
std::optional<std::string> readExactly(int fd, uint8_t* into, size_t size,
                                       Clock::time_point deadline) {
    for (size_t done = 0; done < size;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable{fd, POLLIN, 0};
        const int ready = ::poll(&readable, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return "its pixels did not arrive in time";
        const ssize_t got = ::read(fd, into + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return "its pixels ended early";
        done += static_cast<size_t>(got);
    }
    return std::nullopt;
}

struct PixelSize {
    long width;
    long height;
};

PixelSize pixelSizeOf(const Screen& screen) {
    return {std::lround(screen.frame.width * screen.scale),
            std::lround(screen.frame.height * screen.scale)};
}

// The picture is read only when it has the size asked for, so that no answer makes the program
// take more memory than the screens need.
Result<Image, std::string> receive(ShotRequest& request, PixelSize expected,
                                   Clock::time_point deadline) {
    request.answer.waitForFinished();
    const QDBusMessage reply = request.answer.reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::string(reply.errorMessage().isEmpty() ? "no answer"
                                                          : reply.errorMessage().toStdString());
    }
    const auto results = qdbus_cast<QVariantMap>(reply.arguments().front());
    const uint width = results.value("width").toUInt();
    const uint height = results.value("height").toUInt();
    const uint stride = results.value("stride").toUInt();
    const auto layout = layoutOf(results.value("format").toUInt());
    if (results.value("type").toString() != "raw" || !layout || stride / 4 < width) {
        return std::string("an answer in a form this program does not read");
    }
    if (width != expected.width || height != expected.height) {
        return std::string("it has another size");
    }
    const size_t size = size_t(stride) * height;
    auto* pixels = static_cast<uint8_t*>(std::malloc(size));
    if (!pixels) return std::string("not enough memory for it");
    std::shared_ptr<uint8_t> owner(pixels, [](uint8_t* p) { std::free(p); });
    if (auto failure = readExactly(request.pixels.get(), pixels, size, deadline)) return *failure;
    const bool opaque =
        toPremultipliedBgraInPlace(pixels, int(width), int(height), stride, *layout);
    return Image(std::move(owner), pixels, int(width), int(height), stride, opaque);
}

}  // namespace

bool kwinScreenshotServiceRunning() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(kService);
}

bool kwinGivesScreenshots(std::chrono::milliseconds bound) {
    auto request = ask("CaptureArea", {0, 0, 1u, 1u, QVariantMap{}}, bound);
    return request && receive(*request, {1, 1}, Clock::now() + bound).ok();
}

Result<ScreenshotMap, CaptureFailure> captureThroughKWin(const ScreenList& screens,
                                                         std::chrono::milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    const QVariantMap options{{"native-resolution", true}, {"include-cursor", false}};
    std::vector<std::optional<ShotRequest>> requests;
    for (const Screen& screen : screens) {
        requests.push_back(
            ask("CaptureScreen", {QString::fromStdString(screen.name), options}, bound));
    }
    ScreenshotMap screenshots;
    for (size_t index = 0; index < screens.size(); ++index) {
        const Screen& screen = screens[index];
        const auto failed = [&screen](const std::string& reason) {
            return CaptureFailure::platform("KWin gave no screenshot of " + screen.name + ": " +
                                            reason);
        };
        if (!requests[index]) return failed("no pipe for its pixels");
        auto image = receive(*requests[index], pixelSizeOf(screen), deadline);
        if (!image) return failed(image.error());
        screenshots[screen.name] = std::move(*image);
    }
    return screenshots;
}

}  // namespace tavelin
