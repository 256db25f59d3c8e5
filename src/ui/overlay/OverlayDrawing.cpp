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

QRectF toQt(const Rect& r) { return {r.minX(), r.minY(), r.absWidth(), r.absHeight()}; }

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
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
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
    painter.fillPath(path, QColor(0, 0, 0, 102));  // black at 0.4
    painter.restore();
}

void paintCrosshair(QPainter& painter, Point position, Size size) {
    painter.save();
    painter.setPen(QPen(Qt::white, 1));
    const double x = std::floor(position.x) + 0.5, y = std::floor(position.y) + 0.5;
    painter.drawLine(QPointF(x, 0), QPointF(x, size.height));
    painter.drawLine(QPointF(0, y), QPointF(size.width, y));
    painter.restore();
}

void paintSelectionRectangle(QPainter& painter, const Rect& rect, const std::optional<Rect>& fullRect) {
    painter.save();
    QPen outline(Qt::white, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    outline.setMiterLimit(10);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(toQt(rect));
    painter.restore();
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

QRectF selectionRectangleBounds(const Rect& rect, const std::optional<Rect>& fullRect) {
    QRectF bounds = toQt(rect).adjusted(-2, -2, 2, 2);
    if (const auto text = sizeLabelText(rect, fullRect)) {
        bounds |= labelBox(QString::fromStdString(*text), {rect.midX(), rect.midY()});
    }
    return bounds;
}

QRectF coordinateLabelBounds(Point position, Point screenPosition, Size viewSize) {
    const Point center = coordinateLabelCenter(position, viewSize);
    return labelBox(QString::fromStdString(coordinateLabelText(screenPosition)), {center.x, center.y});
}

}  // namespace tavelin
