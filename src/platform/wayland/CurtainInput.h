#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>

namespace tavelin {

// Modifier keys down with an input event.
enum HeldModifier : uint32_t {
    kHeldShift = 1,
    kHeldControl = 2,
    kHeldAlt = 4,
    kHeldSuper = 8,
};

// What the pointer or keyboard did while the curtain held them, for the toolkit's windows to
// receive once they take over.
struct HeldInput {
    enum class Kind { pointerMotion, pointerButton, key };
    Kind kind = Kind::pointerMotion;
    std::string output;  // pointer events: the output whose curtain had the pointer
    double x = 0;        // pointer events: logical points from that output's top-left corner,
    double y = 0;        // beyond its edges while a button holds the pointer to it
    uint32_t code = 0;   // buttons and keys: the Linux input event code (BTN_LEFT, KEY_ESC)
    bool pressed = false;
    uint32_t modifiers = 0;  // HeldModifier bits
};

// Listens to the seat's pointer and keyboard over the curtain and passes on each event.
class CurtainInput {
public:
    // The pointer and keyboard of `seat`, as its `capabilities` offer them. `outputOf` names the
    // output a surface of the curtain covers; `record` takes each event, on the thread that
    // dispatches the connection.
    CurtainInput(wl_seat* seat, uint32_t capabilities,
                 std::function<std::string(wl_surface*)> outputOf,
                 std::function<void(HeldInput)> record);
    ~CurtainInput();
    CurtainInput(const CurtainInput&) = delete;
    CurtainInput& operator=(const CurtainInput&) = delete;

    bool isButtonHeld() const { return !heldButtons_.empty(); }

private:
    static const wl_pointer_listener kPointerListener;
    static const wl_keyboard_listener kKeyboardListener;
    void pointerAt(wl_fixed_t x, wl_fixed_t y);

    std::function<std::string(wl_surface*)> outputOf_;
    std::function<void(HeldInput)> record_;
    wl_pointer* pointer_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    std::string pointerOutput_;
    double pointerX_ = 0;
    double pointerY_ = 0;
    uint32_t modifiers_ = 0;
    std::set<uint32_t> heldButtons_;
};

}  // namespace tavelin
