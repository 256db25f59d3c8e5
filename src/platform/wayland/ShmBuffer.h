#pragma once

#include <wayland-client.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tavelin {

// A wl_shm buffer in anonymous shared memory that the compositor writes into. The pixels
// outlive the wl_buffer: `pixels` keeps the mapping for as long as an image uses it.
class ShmBuffer {
public:
    // Empty, with `error` set, when the memory cannot be had.
    static ShmBuffer create(wl_shm* shm, uint32_t format, int width, int height, int stride,
                            std::string& error);
    ShmBuffer() = default;
    ShmBuffer(ShmBuffer&& other) noexcept;
    ShmBuffer& operator=(ShmBuffer&& other) noexcept;
    ~ShmBuffer();

    explicit operator bool() const { return buffer_ != nullptr; }
    wl_buffer* buffer() const { return buffer_; }
    const std::shared_ptr<uint8_t>& pixels() const { return pixels_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    // Another buffer on the same pixels, read by the compositor as `format`.
    ShmBuffer readAs(uint32_t format) const;

private:
    wl_buffer* buffer_ = nullptr;
    std::shared_ptr<wl_shm_pool> pool_;
    std::shared_ptr<uint8_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
};

}  // namespace tavelin
