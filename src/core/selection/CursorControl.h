#pragma once

namespace tavelin {

enum class CursorShape {
    arrow,
    openHand,
    closedHand,
    resizeUpDown,
    resizeLeftRight,
    diagonalBackslash,  // top-left to bottom-right
    diagonalSlash,      // bottom-left to top-right
};

// The system cursor, as the selection model drives it; the toolkit layer implements it.
class CursorControl {
public:
    virtual ~CursorControl() = default;
    virtual void hide() = 0;
    virtual void show() = 0;
    virtual void setShape(CursorShape shape) = 0;
};

}  // namespace tavelin
