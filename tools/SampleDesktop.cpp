// Paints a desktop-like picture (windows, text, a photo) onto the root window of $DISPLAY, for
// demonstrations and benchmarks on a virtual display.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "RootBackground.h"
#include "ScreenContent.h"

int main() {
    const char* display = std::getenv("DISPLAY");
    if (!display) {
        std::fprintf(stderr, "tavelin-sample-desktop: DISPLAY is not set\n");
        return 1;
    }
    xcb_connection_t* c = xcb_connect(display, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "tavelin-sample-desktop: cannot connect to %s\n", display);
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const int width = screen->width_in_pixels, height = screen->height_in_pixels;
    xcb_disconnect(c);
    try {
        tavelin::tools::setRootBackground(display, tavelin::tools::screenLikeImage(width, height));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tavelin-sample-desktop: %s\n", error.what());
        return 1;
    }
}
