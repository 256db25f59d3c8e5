// Input for end-to-end tests on KWin, through its fake-input protocol, which KWin offers only to
// programs its application database allows (X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input in
// a desktop entry naming this program). One connection for the whole test, as KWin applies a
// release only from the connection that pressed. Commands as InputCommands.h says, the pointer
// at global points in logical points.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "InputCommands.h"
#include "fake-input-client-protocol.h"

namespace {

constexpr uint32_t kPressed = 1;
constexpr uint32_t kReleased = 0;

void announce(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0) return;
    *static_cast<org_kde_kwin_fake_input**>(data) =
        static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(
            registry, name, &org_kde_kwin_fake_input_interface, std::min(version, 4u)));
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
    return tavelin::input_tools::serveInputCommands({
        .move =
            [&](double x, double y) {
                org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_double(x),
                                                                wl_fixed_from_double(y));
            },
        .button =
            [&](bool pressed) {
                org_kde_kwin_fake_input_button(input, BTN_LEFT, pressed ? kPressed : kReleased);
            },
        .key =
            [&](uint32_t code, bool pressed) {
                org_kde_kwin_fake_input_keyboard_key(input, code, pressed ? kPressed : kReleased);
            },
        .sync = [&] { return wl_display_roundtrip(display) >= 0; },
        .other = {},
    });
}
