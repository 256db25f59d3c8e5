// A virtual pointer and keyboard on a Wayland compositor for end-to-end tests. A headless
// compositor has no input devices, and a device that appears for one command comes too late for
// what it sends, so this one lives for the whole test and takes commands on standard input, as
// InputCommands.h says, the pointer at layout points, and one more:
//   extent W H      the layout's size from now on (it shrinks when an output goes)
// Usage: tavelin-wayland-input LAYOUT_WIDTH LAYOUT_HEIGHT
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "InputCommands.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
};

void announce(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto& globals = *static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        globals.seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals.pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        globals.keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

void forget(void*, wl_registry*, uint32_t) {}

uint32_t now() {
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

// Gives the keyboard the US layout, so key codes mean what a standard keyboard means.
bool sendKeymap(zwp_virtual_keyboard_v1* keyboard, xkb_state*& state) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return false;
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    const size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text, size) != ssize_t(size)) return false;
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
    close(fd);
    std::free(text);
    state = xkb_state_new(keymap);
    return true;
}

void sendKey(zwp_virtual_keyboard_v1* keyboard, xkb_state* state, uint32_t code, bool down) {
    zwp_virtual_keyboard_v1_key(
        keyboard, now(), code,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    xkb_state_update_key(state, code + 8, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    zwp_virtual_keyboard_v1_modifiers(
        keyboard, xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
        xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
        xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED),
        xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LAYOUT_WIDTH LAYOUT_HEIGHT\n", argv[0]);
        return 2;
    }
    uint32_t extentX = uint32_t(std::stoul(argv[1]));
    uint32_t extentY = uint32_t(std::stoul(argv[2]));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no compositor\n");
        return 1;
    }
    Globals globals;
    static const wl_registry_listener listener{announce, forget};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, &globals);
    wl_display_roundtrip(display);
    if (!globals.seat || !globals.pointers || !globals.keyboards) {
        std::fprintf(stderr, "the compositor offers no virtual input\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat);
    zwp_virtual_keyboard_v1* keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(globals.keyboards, globals.seat);
    xkb_state* keys = nullptr;
    if (!sendKeymap(keyboard, keys)) {
        std::fprintf(stderr, "no keymap\n");
        return 1;
    }
    wl_display_roundtrip(display);
    return tavelin::input_tools::serveInputCommands({
        .move =
            [&](double x, double y) {
                zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), uint32_t(x), uint32_t(y),
                                                        extentX, extentY);
                zwlr_virtual_pointer_v1_frame(pointer);
            },
        .button =
            [&](bool pressed) {
                zwlr_virtual_pointer_v1_button(
                    pointer, now(), BTN_LEFT,
                    pressed ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
                zwlr_virtual_pointer_v1_frame(pointer);
            },
        .key = [&](uint32_t code, bool pressed) { sendKey(keyboard, keys, code, pressed); },
        .sync = [&] { return wl_display_roundtrip(display) >= 0; },
        .other =
            [&](const std::string& verb, std::istream& arguments) {
                if (verb != "extent") return false;
                arguments >> extentX >> extentY;
                return true;
            },
    });
}
