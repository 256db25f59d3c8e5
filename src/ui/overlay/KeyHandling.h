#pragma once

#include <Qt>

#include "core/selection/SelectionState.h"
#include "ui/overlay/SelectionViewCallbacks.h"

class QKeyEvent;

namespace tavelin {

// The keys the overlay answers to, by physical position.
enum class OverlayKey { escape, returnKey, keypadEnter, r, left, right, down, up, other };

// On X11 the key code names the physical key, so R is the same key on every layout; events
// without one (synthetic ones) are read by their key symbol instead.
OverlayKey identifyKey(const QKeyEvent& event);

// Acts on one key press; returns true when the key is consumed, false to pass it on.
bool handleOverlayKey(OverlayKey key, Qt::KeyboardModifiers modifiers, SelectionState& state,
                      const SelectionViewCallbacks& callbacks);

}  // namespace tavelin
