#include "KeyHandling.h"

#include <QKeyEvent>

namespace tavelin {
namespace {

// X11 key codes of the evdev keymap used by Xorg and Xvfb.
OverlayKey keyForCode(quint32 code) {
    switch (code) {
        case 9:
            return OverlayKey::escape;
        case 36:
            return OverlayKey::returnKey;
        case 104:
            return OverlayKey::keypadEnter;
        case 27:
            return OverlayKey::r;
        case 113:
            return OverlayKey::left;
        case 114:
            return OverlayKey::right;
        case 116:
            return OverlayKey::down;
        case 111:
            return OverlayKey::up;
        default:
            return OverlayKey::other;
    }
}

OverlayKey keyForSymbol(int key) {
    switch (key) {
        case Qt::Key_Escape:
            return OverlayKey::escape;
        case Qt::Key_Return:
            return OverlayKey::returnKey;
        case Qt::Key_Enter:
            return OverlayKey::keypadEnter;
        case Qt::Key_R:
            return OverlayKey::r;
        case Qt::Key_Left:
            return OverlayKey::left;
        case Qt::Key_Right:
            return OverlayKey::right;
        case Qt::Key_Down:
            return OverlayKey::down;
        case Qt::Key_Up:
            return OverlayKey::up;
        default:
            return OverlayKey::other;
    }
}

constexpr Qt::KeyboardModifiers kTestedModifiers = Qt::ShiftModifier | Qt::ControlModifier |
                                                   Qt::AltModifier | Qt::MetaModifier |
                                                   Qt::KeypadModifier | Qt::GroupSwitchModifier;

}  // namespace

OverlayKey identifyKey(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0) return keyForCode(event.nativeScanCode());
    return keyForSymbol(event.key());
}

bool handleOverlayKey(OverlayKey key, Qt::KeyboardModifiers modifiers, SelectionState& state,
                      const SelectionViewCallbacks& callbacks) {
    switch (key) {
        case OverlayKey::escape:
            callbacks.onCancel();
            return true;
        case OverlayKey::returnKey:
        case OverlayKey::keypadEnter:
            if (const auto selection = state.displayedSelection()) {
                callbacks.onCapture(*selection);
                return true;
            }
            return false;
        case OverlayKey::r: {
            const Qt::KeyboardModifiers held = modifiers & kTestedModifiers;
            if (held != Qt::NoModifier && held != Qt::ShiftModifier) return false;
            callbacks.onCycleHistory(held == Qt::NoModifier);
            return true;
        }
        default:
            break;
    }
    if (!state.selectedRect.get() || state.isDraggingSelection) return false;
    const double step = modifiers.testFlag(Qt::ShiftModifier) ? 10 : 1;
    switch (key) {
        case OverlayKey::left:
            state.nudgeSelection(-step, 0);
            return true;
        case OverlayKey::right:
            state.nudgeSelection(step, 0);
            return true;
        case OverlayKey::down:
            state.nudgeSelection(0, -step);
            return true;
        case OverlayKey::up:
            state.nudgeSelection(0, step);
            return true;
        default:
            return false;
    }
}

}  // namespace tavelin
