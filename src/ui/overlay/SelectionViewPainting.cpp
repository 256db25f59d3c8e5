// What a SelectionView paints, and which part of it a change of state touches.
#include <QPaintEvent>
#include <QPainter>

#include "core/overlay/OverlayLayout.h"
#include "ui/overlay/OverlayDrawing.h"
#include "ui/overlay/ScrimBlit.h"
#include "ui/overlay/SelectionView.h"

namespace tavelin {
namespace {

// The screenshot pixels under a rectangle of the view; the screenshot is stretched to fill it.
QRectF sourceRect(const QRect& target, const QImage& image, QSize view) {
    const double sx = double(image.width()) / view.width();
    const double sy = double(image.height()) / view.height();
    return {target.x() * sx, target.y() * sy, target.width() * sx, target.height() * sy};
}

QRect alignedRect(const Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height).toAlignedRect();
}

}  // namespace

SelectionView::Footprint SelectionView::footprint() const {
    Footprint footprint;
    QRegion& region = footprint.marks;
    const auto local = localSelection();
    if (local && local->width > 0 && local->height > 0) {
        // The outline's four strokes and the size label; the inside only changes as the cutout.
        const QRect outer = alignedRect(*local).adjusted(-2, -2, 2, 2);
        const QRect inner = alignedRect(*local).adjusted(2, 2, -2, -2);
        region += QRegion(outer) - QRegion(inner);
        region += selectionLabelBounds(*local, state_.displayedSelection()).toAlignedRect();
    }
    if (const auto cutout = scrimCutout(local, viewSize_)) footprint.cutout = alignedRect(*cutout);
    if (showsPointerLayers()) {
        const int x = static_cast<int>(std::floor(localMousePosition_.x));
        const int y = static_cast<int>(std::floor(localMousePosition_.y));
        region += QRect(x - 1, 0, 3, height());
        region += QRect(0, y - 1, width(), 3);
        region += coordinateLabelBounds(localMousePosition_, state_.mouseScreenPosition, viewSize_)
                      .toAlignedRect()
                      .adjusted(-1, -1, 1, 1);
    }
    return footprint;
}

void SelectionView::paintBackground(QPainter& painter, const QRegion& region) {
    const auto cutout = scrimCutout(localSelection(), viewSize_);
    if (background_.isNull()) {
        // No screenshot: whatever lies below the window shows through, dimmed.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& r : region) painter.fillRect(r, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        paintScrim(painter, rect(), cutout);
        return;
    }
    // The screenshot, under the scrim but for the cutout. Blending the scrim where it is painted
    // costs less than a dimmed copy of every screenshot made before the overlay can show; in one
    // pass where the view draws straight into its buffer, else through the toolkit.
    QRegion dimmed = region;
    if (cutout) dimmed -= alignedRect(*cutout);
    if (paintUnderScrim(painter, background_, size(), region - dimmed, dimmed)) return;
    for (const QRect& r : region) {
        painter.drawImage(QRectF(r), background_, sourceRect(r, background_, size()));
    }
    for (const QRect& r : dimmed) painter.fillRect(r, kScrimColour);
}

void SelectionView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintBackground(painter, event->region());
    const bool pointerLayers = showsPointerLayers();
    if (pointerLayers) paintCrosshair(painter, localMousePosition_, viewSize_);
    const auto local = localSelection();
    if (local && local->width > 0 && local->height > 0) {
        paintSelectionRectangle(painter, *local, state_.displayedSelection());
    }
    if (pointerLayers) {
        paintCoordinateLabel(painter, localMousePosition_, state_.mouseScreenPosition, viewSize_);
    }
}

}  // namespace tavelin
