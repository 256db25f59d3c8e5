#include "Resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace tavelin {
namespace {

struct Span {
    int begin;
    int end;
};

// For each destination index from `first` to `last` (exclusive), the source indices whose
// centres fall under it; at least the nearest one when the source is enlarged.
std::vector<Span> sourceSpans(int first, int last, double offset, double extent, int sourceSize) {
    std::vector<Span> spans;
    spans.reserve(static_cast<size_t>(std::max(0, last - first)));
    const double ratio = sourceSize / extent;
    for (int index = first; index < last; ++index) {
        const double from = (index - offset) * ratio;
        const double to = (index + 1 - offset) * ratio;
        int begin = std::clamp(static_cast<int>(std::ceil(from - 0.5)), 0, sourceSize - 1);
        int end = std::clamp(static_cast<int>(std::ceil(to - 0.5)), 0, sourceSize);
        if (end <= begin) end = begin + 1;
        spans.push_back({begin, end});
    }
    return spans;
}

// Destination indices whose pixel centre lies in [offset, offset + extent), clipped to size.
Span coveredRange(double offset, double extent, int size) {
    const int begin = std::max(0, static_cast<int>(std::ceil(offset - 0.5)));
    const int end = std::min(size, static_cast<int>(std::ceil(offset + extent - 0.5)));
    return {begin, std::max(begin, end)};
}

void copyRow(const uint8_t* from, uint8_t* to, int pixels, bool opaque) {
    std::memcpy(to, from, static_cast<size_t>(pixels) * Image::kBytesPerPixel);
    if (opaque) {
        for (int x = 0; x < pixels; ++x) to[x * 4 + 3] = 0xFF;
    }
}

}  // namespace

void drawScaled(const Image& source, const Image& canvas, const Rect& destination) {
    if (source.width() <= 0 || source.height() <= 0) return;
    const Span columns = coveredRange(destination.minX(), destination.absWidth(), canvas.width());
    const Span rows = coveredRange(destination.minY(), destination.absHeight(), canvas.height());
    if (columns.begin >= columns.end || rows.begin >= rows.end) return;

    const bool unscaled =
        destination.absWidth() == source.width() && destination.absHeight() == source.height();
    if (unscaled) {
        const int left = columns.begin - static_cast<int>(std::lround(destination.minX()));
        const int top = rows.begin - static_cast<int>(std::lround(destination.minY()));
        for (int y = rows.begin; y < rows.end; ++y) {
            copyRow(source.row(y - rows.begin + top) + left * 4,
                    canvas.mutableRow(y) + columns.begin * 4, columns.end - columns.begin,
                    source.isOpaque());
        }
        return;
    }

    const auto xSpans = sourceSpans(columns.begin, columns.end, destination.minX(),
                                    destination.absWidth(), source.width());
    const auto ySpans = sourceSpans(rows.begin, rows.end, destination.minY(),
                                    destination.absHeight(), source.height());
    for (int y = rows.begin; y < rows.end; ++y) {
        const Span& ys = ySpans[static_cast<size_t>(y - rows.begin)];
        uint8_t* out = canvas.mutableRow(y);
        for (int x = columns.begin; x < columns.end; ++x) {
            const Span& xs = xSpans[static_cast<size_t>(x - columns.begin)];
            unsigned sum[4] = {0, 0, 0, 0};
            for (int sy = ys.begin; sy < ys.end; ++sy) {
                const uint8_t* in = source.row(sy);
                for (int sx = xs.begin; sx < xs.end; ++sx) {
                    for (int c = 0; c < 4; ++c) sum[c] += in[sx * 4 + c];
                }
            }
            const unsigned count = static_cast<unsigned>((ys.end - ys.begin) * (xs.end - xs.begin));
            for (int c = 0; c < 4; ++c) {
                out[x * 4 + c] = static_cast<uint8_t>((sum[c] + count / 2) / count);
            }
            if (source.isOpaque()) out[x * 4 + 3] = 0xFF;
        }
    }
}

}  // namespace tavelin
