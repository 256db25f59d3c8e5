// Drawing, moving, resizing and nudging the selection.
#include "SelectionState.h"

#include <cmath>

namespace tavelin {

std::optional<Rect> SelectionState::drawnSelection() const {
    if (isDraggingSelection || isResizing || !dragStart.get() || !dragCurrent.get()) {
        return std::nullopt;
    }
    const Point start = *dragStart.get();
    const Point current = *dragCurrent.get();
    return constrainToScreens({std::min(start.x, current.x), std::min(start.y, current.y),
                               std::fabs(current.x - start.x), std::fabs(current.y - start.y)});
}

std::optional<Rect> SelectionState::movedSelection() const {
    if (!isDraggingSelection || !selectedRect.get() || !dragCurrent.get()) return std::nullopt;
    const Rect& selection = *selectedRect.get();
    const Point current = *dragCurrent.get();
    return constrainToScreens({current.x - dragOffset->width, current.y - dragOffset->height,
                               selection.absWidth(), selection.absHeight()});
}

std::optional<Rect> SelectionState::displayedSelection() const {
    if (isResizing && selectedRect.get()) return selectedRect;
    if (auto moved = movedSelection()) return moved;
    if (auto drawn = drawnSelection()) return drawn;
    return selectedRect;
}

void SelectionState::beginDrag(Point p) {
    bool onSelection = false;
    if (const auto& selection = selectedRect.get()) {
        const ResizeHandle handle = handleAt(p, *selection);
        if (handle != ResizeHandle::none) {
            isResizing = true;
            currentResizeHandle = handle;
            resizeStartRect = selection;
            onSelection = true;
        } else if (selection->contains(p)) {
            isDraggingSelection = true;
            dragOffset = Size{p.x - selection->x, p.y - selection->y};
            onSelection = true;
        }
    }
    // A press away from the selection removes it and starts drawing a new one.
    if (!onSelection) {
        isDraggingSelection = false;
        isResizing = false;
        selectedRect = std::nullopt;
    }
    dragStart = p;
}

void SelectionState::updateDrag(Point p) {
    dragCurrent = p;
    mouseScreenPosition = p;
    isMouseActive = true;
}

void SelectionState::resizeSelection(Point p) {
    if (!resizeStartRect || !dragStart.get()) return;
    const Rect& s = *resizeStartRect;
    const double dx = p.x - dragStart.get()->x;
    const double dy = p.y - dragStart.get()->y;
    const double m = kMinimumSelectionSide;
    // Dragged edges stop `m` short of the opposite edge, which stays put: no flipping.
    const double movedLeft = std::min(s.x + dx, s.maxX() - m);
    const double movedBottom = std::min(s.y + dy, s.maxY() - m);
    const double widthFromLeft = std::max(s.width - dx, m);
    const double widthFromRight = std::max(s.width + dx, m);
    const double heightFromTop = std::max(s.height + dy, m);
    const double heightFromBottom = std::max(s.height - dy, m);

    Rect r = s;
    switch (currentResizeHandle.get()) {
        case ResizeHandle::topLeft:
            r = {movedLeft, s.y, widthFromLeft, heightFromTop};
            break;
        case ResizeHandle::top:
            r = {s.x, s.y, s.width, heightFromTop};
            break;
        case ResizeHandle::topRight:
            r = {s.x, s.y, widthFromRight, heightFromTop};
            break;
        case ResizeHandle::right:
            r = {s.x, s.y, widthFromRight, s.height};
            break;
        case ResizeHandle::bottomRight:
            r = {s.x, movedBottom, widthFromRight, heightFromBottom};
            break;
        case ResizeHandle::bottom:
            r = {s.x, movedBottom, s.width, heightFromBottom};
            break;
        case ResizeHandle::bottomLeft:
            r = {movedLeft, movedBottom, widthFromLeft, heightFromBottom};
            break;
        case ResizeHandle::left:
            r = {movedLeft, s.y, widthFromLeft, s.height};
            break;
        case ResizeHandle::none:
            return;
    }
    selectedRect = constrainToScreens(r);
}

void SelectionState::endDrag() {
    if (isResizing) {
        isResizing = false;
        currentResizeHandle = ResizeHandle::none;
        resizeStartRect.reset();
    } else if (isDraggingSelection) {
        if (auto moved = movedSelection()) selectedRect = moved;
    } else if (auto drawn = drawnSelection(); drawn && drawn->width > 0 && drawn->height > 0) {
        selectedRect = drawn;
    }
    dragStart = std::nullopt;
    dragCurrent = std::nullopt;
    isDraggingSelection = false;
    dragOffset = Size{};
}

void SelectionState::updateHover(Point p) {
    mouseScreenPosition = p;
    isMouseActive = true;
    if (const auto& selection = selectedRect.get()) {
        const ResizeHandle handle = handleAt(p, *selection);
        currentResizeHandle = handle;
        isOverSelection = handle != ResizeHandle::none || selection->contains(p);
    } else {
        isOverSelection = false;
        currentResizeHandle = ResizeHandle::none;
    }
}

void SelectionState::nudgeSelection(double dx, double dy) {
    const auto& selection = selectedRect.get();
    if (!selection || isDraggingSelection || isResizing) return;
    selectedRect = constrainToScreens(
        {selection->x + dx, selection->y + dy, selection->width, selection->height});
}

}  // namespace tavelin
