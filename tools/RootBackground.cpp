#include "RootBackground.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace tavelin::tools {

void setRootBackground(const std::string& display, const Image& image) {
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        throw std::runtime_error("cannot connect to " + display);
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, screen->root_depth, pixmap, screen->root, screen->width_in_pixels,
                      screen->height_in_pixels);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);

    // One request must stay below the server's size limit: a band of rows at a time.
    const int width = std::min(image.width(), static_cast<int>(screen->width_in_pixels));
    const int height = std::min(image.height(), static_cast<int>(screen->height_in_pixels));
    const int bandRows = std::max(1, (1 << 18) / std::max(1, width));
    std::vector<uint8_t> band;
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        band.resize(static_cast<size_t>(width) * 4 * rows);
        for (int row = 0; row < rows; ++row) {
            std::copy_n(image.row(top + row), width * 4,
                        band.data() + static_cast<size_t>(row) * width * 4);
        }
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, static_cast<uint16_t>(width),
                      static_cast<uint16_t>(rows), 0, static_cast<int16_t>(top), 0,
                      screen->root_depth, static_cast<uint32_t>(band.size()), band.data());
    }
    xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
    xcb_free_gc(c, gc);
    xcb_free_pixmap(c, pixmap);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // a round trip
    xcb_disconnect(c);
}

}  // namespace tavelin::tools
