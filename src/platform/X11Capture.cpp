#include "X11Capture.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cstring>

#include "ScreenPermission.h"
#include "X11Monitors.h"

namespace tavelin {
namespace {

struct MonitorCapture {
    std::optional<Image> image;
    std::string failure;
};

bool isBgrx32(const XcbConnection& connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection.get());
    const uint8_t depth = connection.screen()->root_depth;
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || (depth != 24 && depth != 32)) {
        return false;
    }
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth) return it.data->bits_per_pixel == 32;
    }
    return false;
}

std::string describeXError(const xcb_generic_error_t* error) {
    return "X error " + std::to_string(error->error_code) + " (request " +
           std::to_string(error->major_code) + "." + std::to_string(error->minor_code) + ")";
}

// Shared memory lets the server write the pixels straight into our buffer, which then becomes
// the screenshot itself: no copy on either side.
class SharedMemoryGrabber {
public:
    explicit SharedMemoryGrabber(const XcbConnection& connection) : connection_(connection) {
        const xcb_query_extension_reply_t* shm =
            xcb_get_extension_data(connection.get(), &xcb_shm_id);
        available_ = shm && shm->present;
    }

    bool available() const { return available_; }

    MonitorCapture grab(const X11Monitor& m) {
        xcb_connection_t* c = connection_.get();
        const size_t stride = static_cast<size_t>(m.width) * 4;
        const size_t size = stride * static_cast<size_t>(m.height);
        const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
        if (id < 0) return {std::nullopt, std::string("shmget: ") + std::strerror(errno)};
        void* address = shmat(id, nullptr, 0);
        // Marked for removal at once: the segment goes away with its last attachment, even if
        // the process dies.
        shmctl(id, IPC_RMID, nullptr);
        if (address == reinterpret_cast<void*>(-1)) {
            return {std::nullopt, std::string("shmat: ") + std::strerror(errno)};
        }
        std::shared_ptr<uint8_t> owner(static_cast<uint8_t*>(address),
                                       [](uint8_t* p) { shmdt(p); });

        const xcb_shm_seg_t segment = xcb_generate_id(c);
        XcbError attachError(
            xcb_request_check(c, xcb_shm_attach_checked(c, segment, static_cast<uint32_t>(id), 0)));
        if (attachError) {
            available_ = false;  // e.g. a remote server, which cannot see our memory
            return {std::nullopt, describeXError(attachError.get())};
        }
        xcb_generic_error_t* rawError = nullptr;
        const XcbReply<xcb_shm_get_image_reply_t> reply(xcb_shm_get_image_reply(
            c,
            xcb_shm_get_image(c, connection_.screen()->root, static_cast<int16_t>(m.x),
                              static_cast<int16_t>(m.y), static_cast<uint16_t>(m.width),
                              static_cast<uint16_t>(m.height), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                              segment, 0),
            &rawError));
        const XcbError error(rawError);
        xcb_shm_detach(c, segment);
        xcb_flush(c);
        if (!reply) return {std::nullopt, error ? describeXError(error.get()) : "no reply"};
        uint8_t* pixels = owner.get();
        return {Image(std::move(owner), pixels, m.width, m.height, stride, true), {}};
    }

private:
    const XcbConnection& connection_;
    bool available_ = false;
};

MonitorCapture grabWithGetImage(const XcbConnection& connection, const X11Monitor& m) {
    xcb_connection_t* c = connection.get();
    xcb_generic_error_t* rawError = nullptr;
    XcbReply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, connection.screen()->root,
                      static_cast<int16_t>(m.x), static_cast<int16_t>(m.y),
                      static_cast<uint16_t>(m.width), static_cast<uint16_t>(m.height), ~0u),
        &rawError));
    const XcbError error(rawError);
    if (!reply) return {std::nullopt, error ? describeXError(error.get()) : "no reply"};
    const size_t stride = static_cast<size_t>(m.width) * 4;
    if (static_cast<size_t>(xcb_get_image_data_length(reply.get())) < stride * m.height) {
        return {std::nullopt, "short image reply"};
    }
    // The reply block holds the pixels behind its header; keep the block, point at the pixels.
    uint8_t* pixels = xcb_get_image_data(reply.get());
    std::shared_ptr<uint8_t> owner(reinterpret_cast<uint8_t*>(reply.release()),
                                   [](uint8_t* block) { std::free(block); });
    return {Image(std::move(owner), pixels, m.width, m.height, stride, true), {}};
}

// The monitor's rectangle clipped to the root window: a monitor may hang over its edge.
std::optional<X11Monitor> clippedToRoot(X11Monitor m, const xcb_screen_t* root) {
    const int right = std::min(m.x + m.width, static_cast<int>(root->width_in_pixels));
    const int bottom = std::min(m.y + m.height, static_cast<int>(root->height_in_pixels));
    m.x = std::max(m.x, 0);
    m.y = std::max(m.y, 0);
    m.width = right - m.x;
    m.height = bottom - m.y;
    if (m.width <= 0 || m.height <= 0) return std::nullopt;
    return m;
}

std::string monitorLabel(const X11Monitor& m) {
    return m.outputId ? std::to_string(*m.outputId) : m.name;
}

}  // namespace

Result<ScreenshotMap, CaptureFailure> captureAllDisplays(std::FILE* failureLines) {
    const XcbConnection connection = XcbConnection::open();
    if (!connection || !canReadRootWindow(connection)) {
        return CaptureFailure(CaptureError::permissionDenied);
    }

    ScreenshotMap screenshots;
    if (isBgrx32(connection)) {
        SharedMemoryGrabber sharedMemory(connection);
        for (const X11Monitor& monitor : listMonitors(connection)) {
            const auto area = clippedToRoot(monitor, connection.screen());
            MonitorCapture capture{std::nullopt, "the monitor lies outside the screen"};
            if (area) {
                if (sharedMemory.available()) capture = sharedMemory.grab(*area);
                if (!capture.image) capture = grabWithGetImage(connection, *area);
            }
            if (capture.image) {
                screenshots[monitor.name] = std::move(*capture.image);
            } else {
                std::fprintf(failureLines, "Failed to capture display %s: %s\n",
                             monitorLabel(monitor).c_str(), capture.failure.c_str());
            }
        }
    }
    if (screenshots.empty()) return CaptureFailure(CaptureError::captureFailed);
    return screenshots;
}

}  // namespace tavelin
