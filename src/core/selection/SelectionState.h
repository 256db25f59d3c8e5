#pragma once

#include <optional>
#include <vector>

#include "core/geometry/Rect.h"
#include "core/selection/CursorControl.h"
#include "core/selection/Observed.h"
#include "core/selection/ResizeHandle.h"

namespace tavelin {

// The one model of a capture run's overlay, shared by the views of every screen. Every point
// and rectangle here is in global space: points, origin at the bottom-left corner of the
// primary screen, y up, so a rectangle's top edge is its maxY edge.
class SelectionState {
public:
    static constexpr double kHandleTolerance = 10;
    static constexpr double kMinimumSelectionSide = 20;
    static constexpr double kCoverageSlack = 1;  // square points that may lie off the screens

    // `screenFrames` in screen-list order; `mainScreenFrame` stands in when they cover nothing.
    SelectionState(std::vector<Rect> screenFrames, std::optional<Rect> mainScreenFrame,
                   CursorControl& cursor);
    SelectionState(const SelectionState&) = delete;
    SelectionState& operator=(const SelectionState&) = delete;

    ObserverList observers;

    // Observable: each assignment notifies `observers` first.
    Observed<std::optional<Rect>> selectedRect{observers, std::nullopt};
    Observed<std::optional<Point>> dragStart{observers, std::nullopt};
    Observed<std::optional<Point>> dragCurrent{observers, std::nullopt};
    Observed<bool> isDraggingSelection{observers, false};
    Observed<Size> dragOffset{observers, Size{}};
    Observed<Point> mouseScreenPosition{observers, Point{}};
    Observed<bool> isMouseActive{observers, false};
    Observed<bool> isOverToolbar{observers, false};
    Observed<bool> isOverSelection{observers, false};
    Observed<ResizeHandle> currentResizeHandle{observers, ResizeHandle::none};
    Observed<bool> isResizing{observers, false};

    // Plain.
    std::optional<Rect> resizeStartRect;
    bool isCursorHidden = false;
    const std::vector<Rect> screenFrames;
    const Rect displayBounds;

    // What the views draw and what a confirmation captures.
    std::optional<Rect> displayedSelection() const;
    std::optional<Rect> drawnSelection() const;
    std::optional<Rect> movedSelection() const;

    // A rectangle from outside (command line, history) made to fit the screens; absent when
    // it covers no point there (not finite, or no width or height once placed).
    std::optional<Rect> fittedSelection(const Rect& r) const;
    // Moves `r` so that it lies on the screens; never changes its size.
    Rect constrainToScreens(const Rect& r) const;
    Rect clampToDisplayBounds(const Rect& r) const;
    bool isCoveredByScreens(const Rect& r) const;
    Rect clampIntoBestScreen(const Rect& r) const;
    std::optional<Rect> nearestScreenFrame(const Rect& r) const;

    static ResizeHandle handleAt(Point p, const Rect& r);

    void beginDrag(Point p);
    void updateDrag(Point p);
    void resizeSelection(Point p);
    void endDrag();
    void updateHover(Point p);
    void nudgeSelection(double dx, double dy);

    void updateCursor();
    static CursorShape cursorFor(ResizeHandle handle);
    // Hides or shows the system cursor, keeping `isCursorHidden` in step; repeated calls do
    // nothing more.
    void hideCursor();
    void showCursor();
    void setCursorShape(CursorShape shape) { cursor_.setShape(shape); }

private:
    CursorControl& cursor_;
};

}  // namespace tavelin
