#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tavelin {

// xcb hands out replies and errors as malloc'd blocks; these free them when they go away.
struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
template <typename Reply>
using XcbReply = std::unique_ptr<Reply, FreeDeleter>;
using XcbError = std::unique_ptr<xcb_generic_error_t, FreeDeleter>;

struct ConnectionDeleter {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

// A connection of our own to the X server, independent of the toolkit's, usable off the GUI
// thread. Empty when the display cannot be reached.
class XcbConnection {
public:
    // `display` as in $DISPLAY; null means the environment's.
    static XcbConnection open(const char* display = nullptr);

    explicit operator bool() const { return connection_ != nullptr; }
    xcb_connection_t* get() const { return connection_.get(); }
    // The screen the display name selected (":0.1" is screen 1).
    xcb_screen_t* screen() const { return screen_; }

private:
    std::unique_ptr<xcb_connection_t, ConnectionDeleter> connection_;
    xcb_screen_t* screen_ = nullptr;
};

}  // namespace tavelin
