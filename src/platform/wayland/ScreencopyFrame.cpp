#include "ScreencopyFrame.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace tavelin {
namespace {

ScreencopyFrame& frameOf(void* data) {
    return *static_cast<ScreencopyFrame*>(data);
}

bool isBgrxInMemory(uint32_t format) {
    return format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888;
}
bool isRgbxInMemory(uint32_t format) {
    return format == WL_SHM_FORMAT_XBGR8888 || format == WL_SHM_FORMAT_ABGR8888;
}

void flipRows(const Image& image) {
    std::vector<uint8_t> row(size_t(image.width()) * Image::kBytesPerPixel);
    for (int top = 0, bottom = image.height() - 1; top < bottom; ++top, --bottom) {
        std::memcpy(row.data(), image.row(top), row.size());
        std::memcpy(image.mutableRow(top), image.row(bottom), row.size());
        std::memcpy(image.mutableRow(bottom), row.data(), row.size());
    }
}

void swapRedAndBlue(const Image& image) {
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* p = image.mutableRow(y);
        for (int x = 0; x < image.width(); ++x, p += Image::kBytesPerPixel) std::swap(p[0], p[2]);
    }
}

}  // namespace

const zwlr_screencopy_frame_v1_listener ScreencopyFrame::kListener = {
    .buffer =
        [](void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width,
           uint32_t height, uint32_t stride) {
            ScreencopyFrame& self = frameOf(data);
            self.offersShm_ = true;
            self.format_ = format;
            self.width_ = int(width);
            self.height_ = int(height);
            self.stride_ = int(stride);
            // Before version 3 no list of buffer kinds follows: this one is the offer.
            if (zwlr_screencopy_frame_v1_get_version(frame) < 3) self.copy();
        },
    .flags =
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
            frameOf(data).isYInverted_ = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
        },
    .ready = [](void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t,
                uint32_t) { frameOf(data).finish(); },
    .failed =
        [](void* data, zwlr_screencopy_frame_v1*) {
            frameOf(data).fail("the compositor could not copy the output");
        },
    .damage = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .linux_dmabuf = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {},
    .buffer_done = [](void* data, zwlr_screencopy_frame_v1*) { frameOf(data).copy(); },
};

ScreencopyFrame::ScreencopyFrame(zwlr_screencopy_frame_v1* frame, wl_shm* shm)
    : frame_(frame), shm_(shm) {
    zwlr_screencopy_frame_v1_add_listener(frame_, &kListener, this);
}

ScreencopyFrame::~ScreencopyFrame() {
    zwlr_screencopy_frame_v1_destroy(frame_);
}

void ScreencopyFrame::fail(std::string why) {
    if (!isFinished()) failure_ = std::move(why);
}

void ScreencopyFrame::copy() {
    if (!offersShm_ || !shm_) return fail("the compositor offers no shared-memory buffer");
    if (!isBgrxInMemory(format_) && !isRgbxInMemory(format_)) {
        char text[64];
        std::snprintf(text, sizeof text, "unsupported pixel format 0x%08x", format_);
        return fail(text);
    }
    if (width_ <= 0 || height_ <= 0 || stride_ < width_ * Image::kBytesPerPixel) {
        return fail("the compositor offers an empty buffer");
    }
    std::string error;
    buffer_ = ShmBuffer::create(shm_, format_, width_, height_, stride_, error);
    if (!buffer_) return fail(error);
    zwlr_screencopy_frame_v1_copy(frame_, buffer_.buffer());
}

void ScreencopyFrame::finish() {
    if (isFinished() || !buffer_) return;
    // An output's framebuffer has no meaningful alpha: the picture is opaque.
    Image image(buffer_.pixels(), buffer_.pixels().get(), width_, height_, size_t(stride_), true);
    if (isYInverted_) flipRows(image);
    if (isRgbxInMemory(format_)) swapRedAndBlue(image);
    image_ = image;
}

}  // namespace tavelin
