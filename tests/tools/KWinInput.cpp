// Input for end-to-end tests on KWin, through its fake-input protocol, which KWin offers only to
// programs its application database allows (X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input in
// a desktop entry naming this program). One connection for the whole test, as KWin applies a
// release only from the connection that pressed; commands on standard input:
//   move X Y        pointer to global point (X, Y), in logical points
//   down | up       left button
//   keydown CODE | keyup CODE | key CODE     Linux key code (KEY_ESC = 1, ...)
// Each command is answered with "ok" once KWin has seen it; "ready" first.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "fake-input-client-protocol.h"

namespace {

constexpr uint32_t kPressed = 1;
constexpr uint32_t kReleased = 0;

void announce(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0) return;
    *static_cast<org_kde_kwin_fake_input**>(data) = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, std::min(version, 4u)));
}

void forget(void*, wl_registry*, uint32_t) {}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no compositor\n");
        return 1;
    }
    org_kde_kwin_fake_input* input = nullptr;
    static const wl_registry_listener listener{announce, forget};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, &input);
    wl_display_roundtrip(display);
    if (!input) {
        std::fprintf(stderr, "KWin offers no fake input to this program\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(input, "tavelin-kwin-input", "end-to-end tests");
    wl_display_roundtrip(display);
    std::cout << "ready" << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream command(line);
        std::string verb;
        command >> verb;
        if (verb == "move") {
            int x = 0, y = 0;
            command >> x >> y;
            org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_int(x),
                                                            wl_fixed_from_int(y));
        } else if (verb == "down" || verb == "up") {
            org_kde_kwin_fake_input_button(input, BTN_LEFT, verb == "down" ? kPressed : kReleased);
        } else if (verb == "keydown" || verb == "keyup" || verb == "key") {
            uint32_t code = 0;
            command >> code;
            if (verb != "keyup") org_kde_kwin_fake_input_keyboard_key(input, code, kPressed);
            if (verb != "keydown") org_kde_kwin_fake_input_keyboard_key(input, code, kReleased);
        } else {
            std::cout << "unknown " << verb << std::endl;
            continue;
        }
        if (wl_display_roundtrip(display) < 0) return 1;
        std::cout << "ok" << std::endl;
    }
    return 0;
}
