#include "XcbHandles.h"

namespace tavelin {

XcbConnection XcbConnection::open(const char* display) {
    XcbConnection result;
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display, &screenNumber);
    // xcb_connect never returns null: a failed connection is an object in an error state.
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return result;
    }
    result.connection_.reset(connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; screens.rem > 0; ++i, xcb_screen_next(&screens)) {
        if (i == screenNumber) {
            result.screen_ = screens.data;
            break;
        }
    }
    if (!result.screen_) result.connection_.reset();
    return result;
}

}  // namespace tavelin
