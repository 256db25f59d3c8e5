// The rules that keep a selection on the screens.
#include <cmath>

#include "SelectionState.h"

namespace tavelin {
namespace {

double area(const std::optional<Rect>& r) {
    return r ? r->absWidth() * r->absHeight() : 0;
}

// Moves `r` into `bounds` along each axis; a rectangle larger than `bounds` ends up aligned
// with its far (right or top) edge.
Rect clampInto(const Rect& r, const Rect& bounds) {
    double x = std::max(bounds.minX(), r.x);
    if (x + r.width > bounds.maxX()) x = bounds.maxX() - r.width;
    double y = std::max(bounds.minY(), r.y);
    if (y + r.height > bounds.maxY()) y = bounds.maxY() - r.height;
    return {x, y, r.width, r.height};
}

// Whether `r` holds any point: finite, with edges that stay apart where it lies and also as the
// cut measures them, from a screen's left and top edges (a height of 1e-320 beside an origin of
// 800 is no height at all).
bool coversAPoint(const Rect& r, const std::vector<Rect>& frames) {
    if (!std::isfinite(r.x) || !std::isfinite(r.y) || !std::isfinite(r.width) ||
        !std::isfinite(r.height) || !(r.minX() < r.maxX() && r.minY() < r.maxY())) {
        return false;
    }
    return std::all_of(frames.begin(), frames.end(), [&](const Rect& frame) {
        return r.minX() - frame.minX() < r.maxX() - frame.minX() &&
               frame.maxY() - r.maxY() < frame.maxY() - r.minY();
    });
}

Rect unionOfFrames(const std::vector<Rect>& frames, const std::optional<Rect>& mainScreenFrame) {
    std::optional<Rect> all;
    for (const Rect& frame : frames) all = Rect::unite(all, frame);
    if (all && !all->isEmpty()) return *all;
    if (mainScreenFrame) return *mainScreenFrame;
    return {0, 0, 1920, 1080};
}

}  // namespace

SelectionState::SelectionState(std::vector<Rect> frames, std::optional<Rect> mainScreenFrame,
                               CursorControl& cursor)
    : screenFrames(std::move(frames)),
      displayBounds(unionOfFrames(screenFrames, mainScreenFrame)),
      cursor_(cursor) {}

Rect SelectionState::clampToDisplayBounds(const Rect& r) const {
    return clampInto(r, displayBounds);
}

bool SelectionState::isCoveredByScreens(const Rect& r) const {
    double covered = 0;
    for (const Rect& frame : screenFrames) covered += area(frame.intersection(r));
    return covered >= r.absWidth() * r.absHeight() - kCoverageSlack;
}

std::optional<Rect> SelectionState::nearestScreenFrame(const Rect& r) const {
    std::optional<Rect> nearest;
    double nearestDistance = 0;
    for (const Rect& frame : screenFrames) {
        const double distance = std::hypot(frame.midX() - r.midX(), frame.midY() - r.midY());
        if (!nearest || distance < nearestDistance) {
            nearest = frame;
            nearestDistance = distance;
        }
    }
    return nearest;
}

Rect SelectionState::clampIntoBestScreen(const Rect& r) const {
    std::optional<Rect> best;
    double bestArea = 0;
    for (const Rect& frame : screenFrames) {
        const double overlap = area(frame.intersection(r));
        if (overlap > 0 && overlap > bestArea) {
            best = frame;
            bestArea = overlap;
        }
    }
    if (!best) best = nearestScreenFrame(r);
    return best ? clampInto(r, *best) : r;
}

Rect SelectionState::constrainToScreens(const Rect& r) const {
    if (screenFrames.empty()) return r;
    const Rect inBounds = clampToDisplayBounds(r.standardized());
    return isCoveredByScreens(inBounds) ? inBounds : clampIntoBestScreen(inBounds);
}

std::optional<Rect> SelectionState::fittedSelection(const Rect& r) const {
    if (!(r.width > 0 && r.height > 0) || !coversAPoint(r, screenFrames)) return std::nullopt;
    if (screenFrames.empty()) return r;
    Rect fitted = r;
    const bool fitsSomewhere = std::any_of(
        screenFrames.begin(), screenFrames.end(),
        [&](const Rect& f) { return f.absWidth() >= r.width && f.absHeight() >= r.height; });
    if (!fitsSomewhere) {
        const Rect* largest = &screenFrames.front();
        for (const Rect& frame : screenFrames) {
            if (area(frame) > area(*largest)) largest = &frame;
        }
        fitted.width = std::min(r.width, largest->absWidth());
        fitted.height = std::min(r.height, largest->absHeight());
    }
    const Rect placed = constrainToScreens(fitted);
    if (!coversAPoint(placed, screenFrames)) return std::nullopt;
    return placed;
}

ResizeHandle SelectionState::handleAt(Point p, const Rect& r) {
    const double t = kHandleTolerance;
    const bool nearLeft = std::fabs(p.x - r.minX()) <= t;
    const bool nearRight = std::fabs(p.x - r.maxX()) <= t;
    const bool nearTop = std::fabs(p.y - r.maxY()) <= t;
    const bool nearBottom = std::fabs(p.y - r.minY()) <= t;
    const bool withinX = r.minX() - t <= p.x && p.x <= r.maxX() + t;
    const bool withinY = r.minY() - t <= p.y && p.y <= r.maxY() + t;
    const bool within = withinX && withinY;

    if (nearTop && nearLeft && within) return ResizeHandle::topLeft;
    if (nearTop && nearRight && within) return ResizeHandle::topRight;
    if (nearBottom && nearLeft && within) return ResizeHandle::bottomLeft;
    if (nearBottom && nearRight && within) return ResizeHandle::bottomRight;
    if (nearTop && withinX) return ResizeHandle::top;
    if (nearBottom && withinX) return ResizeHandle::bottom;
    if (nearLeft && withinY) return ResizeHandle::left;
    if (nearRight && withinY) return ResizeHandle::right;
    return ResizeHandle::none;
}

}  // namespace tavelin
