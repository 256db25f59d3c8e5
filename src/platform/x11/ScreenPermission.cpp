#include "ScreenPermission.h"

#include "XcbHandles.h"

namespace tavelin {

bool canRecordScreen() {
    const XcbConnection connection = XcbConnection::open();
    return connection && canReadRootWindow(connection);
}

bool canReachX11Display() {
    return bool(XcbConnection::open());
}

bool canReadRootWindow(const XcbConnection& connection) {
    const xcb_window_t root = connection.screen()->root;
    const xcb_get_image_cookie_t cookie =
        xcb_get_image(connection.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, root, 0, 0, 1, 1, ~0u);
    xcb_generic_error_t* rawError = nullptr;
    const XcbReply<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(connection.get(), cookie, &rawError));
    const XcbError error(rawError);
    return reply != nullptr && error == nullptr;
}

}  // namespace tavelin
