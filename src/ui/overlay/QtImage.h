#pragma once

#include <QImage>

#include "core/image/Image.h"

namespace tavelin {

// A toolkit image over the same pixels, without copying; `image` must outlive it.
inline QImage wrapImage(const Image& image) {
    return QImage(image.row(0), image.width(), image.height(),
                  static_cast<qsizetype>(image.stride()),
                  image.isOpaque() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
}

}  // namespace tavelin
