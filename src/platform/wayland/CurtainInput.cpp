#include "CurtainInput.h"

#include <unistd.h>

#include <utility>

namespace tavelin {
namespace {

CurtainInput& inputOf(void* data) {
    return *static_cast<CurtainInput*>(data);
}

// The core modifiers hold the first eight places of every keymap, in this order.
constexpr uint32_t kShiftMask = 1u << 0;
constexpr uint32_t kControlMask = 1u << 2;
constexpr uint32_t kMod1Mask = 1u << 3;  // Alt
constexpr uint32_t kMod4Mask = 1u << 6;  // Super

uint32_t heldModifiers(uint32_t mask) {
    return (mask & kShiftMask ? kHeldShift : 0u) | (mask & kControlMask ? kHeldControl : 0u) |
           (mask & kMod1Mask ? kHeldAlt : 0u) | (mask & kMod4Mask ? kHeldSuper : 0u);
}

}  // namespace

// Built member by member: later releases of the protocol add events, which a seat bound at
// version 5 never sends.
const wl_pointer_listener CurtainInput::kPointerListener = [] {
    wl_pointer_listener listener{};
    listener.enter = [](void* data, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t x,
                        wl_fixed_t y) {
        CurtainInput& self = inputOf(data);
        self.pointerOutput_ = self.outputOf_(surface);
        self.pointerAt(x, y);
    };
    listener.leave = [](void*, wl_pointer*, uint32_t, wl_surface*) {};
    listener.motion = [](void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        inputOf(data).pointerAt(x, y);
    };
    listener.button = [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button,
                         uint32_t state) {
        CurtainInput& self = inputOf(data);
        const bool pressed = state == WL_POINTER_BUTTON_STATE_PRESSED;
        if (pressed) {
            self.heldButtons_.insert(button);
        } else {
            self.heldButtons_.erase(button);
        }
        self.record_({HeldInput::Kind::pointerButton, self.pointerOutput_, self.pointerX_,
                      self.pointerY_, button, pressed, self.modifiers_});
    };
    listener.axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {};
    listener.frame = [](void*, wl_pointer*) {};
    listener.axis_source = [](void*, wl_pointer*, uint32_t) {};
    listener.axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {};
    listener.axis_discrete = [](void*, wl_pointer*, uint32_t, int32_t) {};
    return listener;
}();

const wl_keyboard_listener CurtainInput::kKeyboardListener = {
    // Keys are passed on as positions, which is how the overlay knows them.
    .keymap = [](void*, wl_keyboard*, uint32_t, int32_t descriptor,
                 uint32_t) { close(descriptor); },
    .enter = [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
    .leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
    .key =
        [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
            CurtainInput& self = inputOf(data);
            self.record_({HeldInput::Kind::key,
                          {},
                          0,
                          0,
                          key,
                          state == WL_KEYBOARD_KEY_STATE_PRESSED,
                          self.modifiers_});
        },
    .modifiers = [](void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                    uint32_t,
                    uint32_t) { inputOf(data).modifiers_ = heldModifiers(depressed | latched); },
    .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
};

CurtainInput::CurtainInput(wl_seat* seat, uint32_t capabilities,
                           std::function<std::string(wl_surface*)> outputOf,
                           std::function<void(HeldInput)> record)
    : outputOf_(std::move(outputOf)), record_(std::move(record)) {
    if (capabilities & WL_SEAT_CAPABILITY_POINTER) {
        pointer_ = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer_, &kPointerListener, this);
    }
    if (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) {
        keyboard_ = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(keyboard_, &kKeyboardListener, this);
    }
}

CurtainInput::~CurtainInput() {
    if (pointer_ && wl_pointer_get_version(pointer_) >= WL_POINTER_RELEASE_SINCE_VERSION) {
        wl_pointer_release(pointer_);
    } else if (pointer_) {
        wl_pointer_destroy(pointer_);
    }
    if (keyboard_ && wl_keyboard_get_version(keyboard_) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
        wl_keyboard_release(keyboard_);
    } else if (keyboard_) {
        wl_keyboard_destroy(keyboard_);
    }
}

void CurtainInput::pointerAt(wl_fixed_t x, wl_fixed_t y) {
    pointerX_ = wl_fixed_to_double(x);
    pointerY_ = wl_fixed_to_double(y);
    record_({HeldInput::Kind::pointerMotion, pointerOutput_, pointerX_, pointerY_, 0, false,
             modifiers_});
}

}  // namespace tavelin
