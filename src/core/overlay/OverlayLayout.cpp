#include "OverlayLayout.h"

#include <cmath>

namespace tavelin {
namespace {

std::string truncatedInteger(double value) {
    return std::to_string(static_cast<long long>(std::trunc(value)));
}

}  // namespace

Rect globalToView(const Rect& global, const Rect& screenFrame, double viewHeight) {
    const Rect d = global.standardized();
    return {d.x - screenFrame.x, viewHeight - (d.y - screenFrame.y) - d.height, d.width, d.height};
}

std::optional<Rect> scrimCutout(const std::optional<Rect>& cutout, Size size) {
    if (!cutout || cutout->absWidth() <= 0 || cutout->absHeight() <= 0) return std::nullopt;
    const auto visible = cutout->intersection({0, 0, size.width, size.height});
    if (!visible || visible->width <= 0 || visible->height <= 0) return std::nullopt;
    return visible;
}

std::optional<std::string> sizeLabelText(const Rect& rect, const std::optional<Rect>& fullRect) {
    if (!fullRect || !(rect.absWidth() > 60 && rect.absHeight() > 30)) return std::nullopt;
    return truncatedInteger(fullRect->absWidth()) + " \u00D7 " +
           truncatedInteger(fullRect->absHeight());
}

std::string coordinateLabelText(Point screenPosition) {
    return "x: " + truncatedInteger(screenPosition.x) +
           ", y: " + truncatedInteger(screenPosition.y);
}

Point coordinateLabelCenter(Point position, Size viewSize) {
    constexpr double kBoxWidth = 120, kBoxHeight = 24, kGap = 20, kFlippedGap = 10;
    double left = position.x + kGap;
    if (viewSize.width < position.x + kGap + kBoxWidth) left = position.x - kFlippedGap - kBoxWidth;
    double top = position.y + kGap;
    if (viewSize.height < position.y + kGap + kBoxHeight)
        top = position.y - kFlippedGap - kBoxHeight;
    return {left + kBoxWidth / 2, top + kBoxHeight / 2};
}

}  // namespace tavelin
