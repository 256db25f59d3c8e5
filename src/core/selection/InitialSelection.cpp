#include "InitialSelection.h"

#include <charconv>
#include <cmath>

#include "core/selection/DisplayIdentity.h"
#include "core/text/Trim.h"

namespace tavelin {

Rect topLeftToGlobal(const Rect& r, const Rect& frame) {
    return {frame.minX() + r.minX(), frame.maxY() - r.maxY(), r.absWidth(), r.absHeight()};
}

std::optional<Rect> screenFrameMatchingBounds(const Rect& bounds, const std::vector<Rect>& frames,
                                              const Rect& primaryFrame, double tolerance) {
    for (const Rect& frame : frames) {
        const double topLeftY = primaryFrame.maxY() - frame.maxY();
        if (std::fabs(frame.minX() - bounds.x) <= tolerance &&
            std::fabs(topLeftY - bounds.y) <= tolerance &&
            std::fabs(frame.absWidth() - bounds.width) <= tolerance &&
            std::fabs(frame.absHeight() - bounds.height) <= tolerance) {
            return frame;
        }
    }
    return std::nullopt;
}

Rect centeredSelection(const Rect& frame, const std::optional<Size>& size) {
    double width, height;
    if (size) {
        width = std::min(frame.absWidth(), std::max(size->width, 0.0));
        height = std::min(frame.absHeight(), std::max(size->height, 0.0));
    } else {
        width = std::min(std::max(0.75 * frame.absWidth(), 100.0), 800.0);
        height = std::min(std::max(0.75 * frame.absHeight(), 100.0), 600.0);
    }
    return {frame.midX() - width * 0.5, frame.midY() - height * 0.5, width, height};
}

std::string shortestDecimalText(double value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, error == std::errc() ? end : buffer);
    if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

std::optional<Rect> resolveInitialSelection(
    const std::optional<Rect>& selectionRect, const std::optional<std::string>& displayId,
    const std::optional<Rect>& displayBounds, const std::vector<Rect>& frames,
    const std::function<std::optional<Rect>(const std::string&)>& frameForDisplayId,
    const std::function<void(const std::string&)>& log, const Rect& primaryFrame) {
    const std::string id = trimWhitespace(displayId.value_or(""));
    if (!id.empty()) {
        const std::optional<Rect> frame = frameForDisplayId(id);
        if (!frame) {
            log("TavelinCapture: display id \"" + id +
                "\" not found; using primary display with centered selection.");
            std::optional<Size> size;
            if (selectionRect) size = Size{selectionRect->absWidth(), selectionRect->absHeight()};
            return centeredSelection(primaryFrame, size);
        }
        if (!selectionRect) return std::nullopt;
        return topLeftToGlobal(*selectionRect, *frame);
    }

    Rect frame = primaryFrame;
    if (displayBounds) {
        if (const auto match =
                screenFrameMatchingBounds(*displayBounds, frames, primaryFrame, kBoundsTolerance)) {
            frame = *match;
        } else {
            log("TavelinCapture: display bounds \"" + shortestDecimalText(displayBounds->x) + "," +
                shortestDecimalText(displayBounds->y) + "," +
                shortestDecimalText(displayBounds->absWidth()) + "," +
                shortestDecimalText(displayBounds->absHeight()) +
                "\" not found; using primary display.");
        }
    }
    if (!selectionRect) return std::nullopt;
    return topLeftToGlobal(*selectionRect, frame);
}

std::optional<Rect> initialSelection(const CaptureArgs& args, const ScreenList& screens,
                                     const DiagnosticSink& diagnostics) {
    return resolveInitialSelection(
        args.selectionRect, args.displayId, args.displayBounds, framesOf(screens),
        [&](const std::string& id) -> std::optional<Rect> {
            if (const auto screen = screenForDisplayId(id, screens)) return screen->frame;
            return std::nullopt;
        },
        [&](const std::string& line) { diagnostics(line + "\n"); }, primaryFrame(screens));
}

}  // namespace tavelin
