#pragma once

#include <optional>
#include <string>

#include "ShmBuffer.h"
#include "core/image/Image.h"

struct zwlr_screencopy_frame_v1;
struct zwlr_screencopy_frame_v1_listener;

namespace tavelin {

// One wlr-screencopy frame: the compositor offers a buffer layout, we hand it shared memory,
// it copies the output into it. Lives until the copy is ready or has failed.
class ScreencopyFrame {
public:
    // Takes ownership of `frame` and starts listening to it.
    ScreencopyFrame(zwlr_screencopy_frame_v1* frame, wl_shm* shm);
    ~ScreencopyFrame();
    ScreencopyFrame(const ScreencopyFrame&) = delete;
    ScreencopyFrame& operator=(const ScreencopyFrame&) = delete;

    bool isFinished() const { return image_.has_value() || !failure_.empty(); }
    // The copied pixels as premultiplied BGRA, top row first; absent until ready.
    const std::optional<Image>& image() const { return image_; }
    // The shared memory the image lies in, as the compositor has it.
    const ShmBuffer& memory() const { return buffer_; }
    const std::string& failure() const { return failure_; }
    void fail(std::string why);

private:
    static const ::zwlr_screencopy_frame_v1_listener kListener;
    void copy();
    void finish();

    zwlr_screencopy_frame_v1* frame_;
    wl_shm* shm_;
    bool offersShm_ = false;
    uint32_t format_ = 0;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    bool isYInverted_ = false;
    ShmBuffer buffer_;
    std::optional<Image> image_;
    std::string failure_;
};

}  // namespace tavelin
