#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <optional>

#include "core/geometry/Rect.h"
#include "core/image/Scrim.h"

class QPainter;

namespace tavelin {

// The passive layers drawn above the frozen screenshot. All coordinates are view coordinates:
// points, origin at the view's top-left corner, y down.

// The scrim as the toolkit paints it where no screenshot is under it.
inline const QColor kScrimColour{0, 0, 0, kScrimAlpha};

// The monospaced system font at 11 points that both labels use.
QFont labelFont();

// The rounded box a label occupies with its text centred at `center`.
QRectF labelBox(const QString& text, QPointF center);

// Black at 0.4 over all of `area` but the cutout, for a view without a screenshot.
void paintScrim(QPainter& painter, const QRectF& area, const std::optional<Rect>& cutout);

void paintCrosshair(QPainter& painter, Point position, Size size);

// The white outline of the selection `rect` and, when it fits, its size label.
void paintSelectionRectangle(QPainter& painter, const Rect& rect,
                             const std::optional<Rect>& fullRect);

void paintCoordinateLabel(QPainter& painter, Point position, Point screenPosition, Size viewSize);

// What the outline, its label, the crosshair and the coordinate label cover, for repainting
// only what changed.
QRectF selectionLabelBounds(const Rect& rect, const std::optional<Rect>& fullRect);
QRectF coordinateLabelBounds(Point position, Point screenPosition, Size viewSize);

}  // namespace tavelin
