#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QSize>

namespace tavelin {

// Paints `screenshot`, stretched over a view of `viewSize`, into the painter's area: as it is
// over `plain`, under the scrim over `dimmed` (both in the view's coordinates), in one pass
// over the pixels, with the toolkit's own arithmetic. Only where the painter draws straight into
// an image at the screenshot's resolution; false, having painted nothing, elsewhere.
bool paintUnderScrim(QPainter& painter, const QImage& screenshot, QSize viewSize,
                     const QRegion& plain, const QRegion& dimmed);

}  // namespace tavelin
