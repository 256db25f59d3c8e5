#include "OverlayDrawing.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include "core/overlay/OverlayLayout.h"

namespace tavelin {
namespace {

constexpr double kPaddingX = 6, kPaddingY = 3, kCornerRadius = 4;
const QColor kSizeLabelBackground(0, 0, 0, 179);        // black at 0.7
const QColor kCoordinateLabelBackground(0, 0, 0, 204);  // black at 0.8

QRectF toQt(const Rect& r) {
    return {r.minX(), r.minY(), r.absWidth(), r.absHeight()};
}

void paintLabel(QPainter& painter, const QString& text, QPointF center, const QColor& background) {
    const QRectF box = labelBox(text, center);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(box, kCornerRadius, kCornerRadius);
    painter.setFont(labelFont());
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}

}  // namespace

QFont labelFont() {
    // Looked up once: labels are measured and drawn on every pointer move.
    static const QFont font = [] {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPixelSize(11);
        fixed.setWeight(QFont::Normal);
        return fixed;
    }();
    return font;
}

QRectF labelBox(const QString& text, QPointF center) {
    const QFontMetricsF metrics(labelFont());
    const QSizeF size(metrics.horizontalAdvance(text) + 2 * kPaddingX,
                      metrics.height() + 2 * kPaddingY);
    return {center.x() - size.width() / 2, center.y() - size.height() / 2, size.width(),
            size.height()};
}

void paintScrim(QPainter& painter, const QRectF& area, const std::optional<Rect>& cutout) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(area);
    if (cutout) path.addRect(toQt(*cutout));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, kScrimColour);
    painter.restore();
}

// Lines along the pixel grid are filled as rectangles: as exact as a stroke, and far cheaper
// across a 4K screen on every pointer move.
void paintCrosshair(QPainter& painter, Point position, Size size) {
    const double x = std::floor(position.x), y = std::floor(position.y);
    painter.fillRect(QRectF(x, 0, 1, size.height), Qt::white);
    painter.fillRect(QRectF(0, y, size.width, 1), Qt::white);
}

void paintSelectionRectangle(QPainter& painter, const Rect& rect,
                             const std::optional<Rect>& fullRect) {
    // A 2-point outline centred on the edges: 1 point inside, 1 point outside.
    const QRectF r = toQt(rect);
    const QRectF outer = r.adjusted(-1, -1, 1, 1);
    painter.fillRect(QRectF(outer.left(), outer.top(), outer.width(), 2), Qt::white);
    painter.fillRect(QRectF(outer.left(), r.bottom() - 1, outer.width(), 2), Qt::white);
    painter.fillRect(QRectF(outer.left(), outer.top(), 2, outer.height()), Qt::white);
    painter.fillRect(QRectF(r.right() - 1, outer.top(), 2, outer.height()), Qt::white);
    if (const auto text = sizeLabelText(rect, fullRect)) {
        paintLabel(painter, QString::fromStdString(*text), {rect.midX(), rect.midY()},
                   kSizeLabelBackground);
    }
}

void paintCoordinateLabel(QPainter& painter, Point position, Point screenPosition, Size viewSize) {
    const Point center = coordinateLabelCenter(position, viewSize);
    paintLabel(painter, QString::fromStdString(coordinateLabelText(screenPosition)),
               {center.x, center.y}, kCoordinateLabelBackground);
}

QRectF selectionLabelBounds(const Rect& rect, const std::optional<Rect>& fullRect) {
    const auto text = sizeLabelText(rect, fullRect);
    if (!text) return {};
    return labelBox(QString::fromStdString(*text), {rect.midX(), rect.midY()})
        .adjusted(-1, -1, 1, 1);
}

QRectF coordinateLabelBounds(Point position, Point screenPosition, Size viewSize) {
    const Point center = coordinateLabelCenter(position, viewSize);
    return labelBox(QString::fromStdString(coordinateLabelText(screenPosition)),
                    {center.x, center.y});
}

}  // namespace tavelin
