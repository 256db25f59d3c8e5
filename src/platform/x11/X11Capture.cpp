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

// The server writes bands of the monitor into one small shared segment, which we copy out:
// the segment is set up (and its pages faulted) once for all monitors, not per screenshot.
class SharedMemoryGrabber {
public:
    explicit SharedMemoryGrabber(const XcbConnection& connection) : connection_(connection) {
        const xcb_query_extension_reply_t* shm =
            xcb_get_extension_data(connection.get(), &xcb_shm_id);
        available_ = shm && shm->present;
    }
    ~SharedMemoryGrabber() {
        if (attached_) xcb_shm_detach(connection_.get(), segment_);
        if (address_) shmdt(address_);
    }
    SharedMemoryGrabber(const SharedMemoryGrabber&) = delete;
    SharedMemoryGrabber& operator=(const SharedMemoryGrabber&) = delete;

    bool available() const { return available_; }

    MonitorCapture grab(const X11Monitor& m) {
        if (!attached_ && !attach()) return {std::nullopt, failure_};
        const size_t stride = static_cast<size_t>(m.width) * 4;
        if (stride > kHalfSize) return {std::nullopt, "the monitor is too wide"};
        const int bandRows = static_cast<int>(kHalfSize / stride);
        const int bands = (m.height + bandRows - 1) / bandRows;
        Image image = Image::allocate(m.width, m.height);
        // Two halves of the segment take turns: the server fills the next band while the
        // previous one is copied out.
        xcb_shm_get_image_cookie_t pending = request(m, 0, bandRows, 0);
        for (int band = 0; band < bands; ++band) {
            const xcb_shm_get_image_cookie_t current = pending;
            if (band + 1 < bands) pending = request(m, band + 1, bandRows, (band + 1) % 2);
            xcb_generic_error_t* rawError = nullptr;
            const XcbReply<xcb_shm_get_image_reply_t> reply(
                xcb_shm_get_image_reply(connection_.get(), current, &rawError));
            const XcbError error(rawError);
            if (!reply) {
                if (band + 1 < bands) xcb_discard_reply(connection_.get(), pending.sequence);
                return {std::nullopt, error ? describeXError(error.get()) : "no reply"};
            }
            const int top = band * bandRows;
            const int rows = std::min(bandRows, m.height - top);
            std::memcpy(image.mutableRow(top), address_ + (band % 2) * kHalfSize,
                        stride * static_cast<size_t>(rows));
        }
        return {image.asOpaque(), {}};
    }

private:
    static constexpr size_t kHalfSize = size_t{2} << 20;
    static constexpr size_t kSegmentSize = 2 * kHalfSize;

    xcb_shm_get_image_cookie_t request(const X11Monitor& m, int band, int bandRows, int half) {
        const int top = band * bandRows;
        const int rows = std::min(bandRows, m.height - top);
        return xcb_shm_get_image(connection_.get(), connection_.screen()->root,
                                 static_cast<int16_t>(m.x), static_cast<int16_t>(m.y + top),
                                 static_cast<uint16_t>(m.width), static_cast<uint16_t>(rows), ~0u,
                                 XCB_IMAGE_FORMAT_Z_PIXMAP, segment_,
                                 static_cast<uint32_t>(half * kHalfSize));
    }

    bool attach() {
        const int id = shmget(IPC_PRIVATE, kSegmentSize, IPC_CREAT | 0600);
        if (id < 0) return fail(std::string("shmget: ") + std::strerror(errno));
        void* address = shmat(id, nullptr, 0);
        // Marked for removal at once: it goes away with its last attachment, even on a crash.
        shmctl(id, IPC_RMID, nullptr);
        if (address == reinterpret_cast<void*>(-1)) {
            return fail(std::string("shmat: ") + std::strerror(errno));
        }
        address_ = static_cast<uint8_t*>(address);
        segment_ = xcb_generate_id(connection_.get());
        XcbError error(xcb_request_check(
            connection_.get(),
            xcb_shm_attach_checked(connection_.get(), segment_, static_cast<uint32_t>(id), 0)));
        if (error) return fail(describeXError(error.get()));  // e.g. a remote server
        attached_ = true;
        return true;
    }

    bool fail(std::string why) {
        available_ = false;
        failure_ = std::move(why);
        return false;
    }

    const XcbConnection& connection_;
    bool available_ = false;
    bool attached_ = false;
    uint8_t* address_ = nullptr;
    xcb_shm_seg_t segment_ = 0;
    std::string failure_;
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
