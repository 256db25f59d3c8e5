#include "ScrimBlit.h"

#include <QPaintEngine>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/image/Scrim.h"

namespace tavelin {
namespace {

bool isOpaque32(QImage::Format format) {
    return format == QImage::Format_RGB32;
}

bool takes32(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

bool paintUnderScrim(QPainter& painter, const QImage& screenshot, QSize viewSize,
                     const QRegion& plain, const QRegion& dimmed) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image || !isOpaque32(screenshot.format())) {
        return false;
    }
    auto& target = *static_cast<QImage*>(device);
    if (!takes32(target.format()) || painter.opacity() < 1.0 || viewSize.isEmpty()) return false;
    // One screenshot pixel to each device pixel, at whole-pixel offsets.
    const QTransform transform = painter.deviceTransform();
    const double scale = double(screenshot.width()) / viewSize.width();
    if (transform.type() > QTransform::TxScale || transform.m11() != scale ||
        transform.m22() != scale || double(screenshot.height()) / viewSize.height() != scale ||
        transform.dx() != std::floor(transform.dx()) ||
        transform.dy() != std::floor(transform.dy())) {
        return false;
    }
    const int dx = int(transform.dx());
    const int dy = int(transform.dy());
    const QRect targetBounds = target.rect().translated(-dx, -dy) & screenshot.rect();
    const auto copy = [&](const QRegion& region, bool underTheScrim) {
        for (const QRect& area : region) {
            const QRect pixels =
                transform.mapRect(QRectF(area)).toAlignedRect().translated(-dx, -dy) &
                targetBounds;
            for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
                const auto* from =
                    reinterpret_cast<const uint32_t*>(screenshot.constScanLine(y)) + pixels.left();
                auto* to = reinterpret_cast<uint32_t*>(target.scanLine(y + dy)) + pixels.left() + dx;
                if (underTheScrim) {
                    for (int x = 0; x < pixels.width(); ++x) to[x] = underScrim(from[x]);
                } else {
                    std::memcpy(to, from, size_t(pixels.width()) * sizeof(uint32_t));
                }
            }
        }
    };
    copy(plain, false);
    copy(dimmed, true);
    return true;
}

}  // namespace tavelin
