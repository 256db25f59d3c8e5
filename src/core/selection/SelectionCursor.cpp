// The system cursor over the overlay: hidden over the free area, where the views draw their
// own crosshair; a shape that tells what a press would do everywhere else.
#include "SelectionState.h"

namespace tavelin {

void SelectionState::hideCursor() {
    if (!isCursorHidden) cursor_.hide();
    isCursorHidden = true;
}

void SelectionState::showCursor() {
    if (isCursorHidden) cursor_.show();
    isCursorHidden = false;
}

void SelectionState::updateCursor() {
    if (!isOverToolbar && !isOverSelection) {
        hideCursor();
        return;
    }
    showCursor();
    if (currentResizeHandle != ResizeHandle::none) {
        cursor_.setShape(cursorFor(currentResizeHandle));
    } else {
        cursor_.setShape(isOverSelection ? CursorShape::openHand : CursorShape::arrow);
    }
}

CursorShape SelectionState::cursorFor(ResizeHandle handle) {
    switch (handle) {
        case ResizeHandle::topLeft:
        case ResizeHandle::bottomRight:
            return CursorShape::diagonalBackslash;
        case ResizeHandle::topRight:
        case ResizeHandle::bottomLeft:
            return CursorShape::diagonalSlash;
        case ResizeHandle::top:
        case ResizeHandle::bottom:
            return CursorShape::resizeUpDown;
        case ResizeHandle::left:
        case ResizeHandle::right:
            return CursorShape::resizeLeftRight;
        case ResizeHandle::none:
            return CursorShape::arrow;
    }
    return CursorShape::arrow;
}

}  // namespace tavelin
