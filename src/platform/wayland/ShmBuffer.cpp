#include "ShmBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/FileDescriptor.h"

namespace tavelin {

ShmBuffer ShmBuffer::create(wl_shm* shm, uint32_t format, int width, int height, int stride,
                            std::string& error) {
    const size_t size = size_t(stride) * size_t(height);
    const FileDescriptor memory(memfd_create("tavelin-capture", MFD_CLOEXEC));
    if (!memory || ftruncate(memory.get(), off_t(size)) != 0) {
        error = std::string("shared memory: ") + std::strerror(errno);
        return {};
    }
    void* address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, memory.get(), 0);
    if (address == MAP_FAILED) {
        error = std::string("mmap: ") + std::strerror(errno);
        return {};
    }
    ShmBuffer result;
    result.pixels_.reset(static_cast<uint8_t*>(address),
                         [size](uint8_t* mapped) { munmap(mapped, size); });
    result.pool_.reset(wl_shm_create_pool(shm, memory.get(), int32_t(size)), wl_shm_pool_destroy);
    result.width_ = width;
    result.height_ = height;
    result.stride_ = stride;
    result.buffer_ =
        wl_shm_pool_create_buffer(result.pool_.get(), 0, width, height, stride, format);
    return result;
}

ShmBuffer ShmBuffer::readAs(uint32_t format) const {
    ShmBuffer other;
    if (!pool_) return other;
    other.pool_ = pool_;
    other.pixels_ = pixels_;
    other.width_ = width_;
    other.height_ = height_;
    other.stride_ = stride_;
    other.buffer_ = wl_shm_pool_create_buffer(pool_.get(), 0, width_, height_, stride_, format);
    return other;
}

ShmBuffer::ShmBuffer(ShmBuffer&& other) noexcept
    : buffer_(std::exchange(other.buffer_, nullptr)),
      pool_(std::move(other.pool_)),
      pixels_(std::move(other.pixels_)),
      width_(other.width_),
      height_(other.height_),
      stride_(other.stride_) {}

ShmBuffer& ShmBuffer::operator=(ShmBuffer&& other) noexcept {
    if (this != &other) {
        if (buffer_) wl_buffer_destroy(buffer_);
        buffer_ = std::exchange(other.buffer_, nullptr);
        pool_ = std::move(other.pool_);
        pixels_ = std::move(other.pixels_);
        width_ = other.width_;
        height_ = other.height_;
        stride_ = other.stride_;
    }
    return *this;
}

ShmBuffer::~ShmBuffer() {
    if (buffer_) wl_buffer_destroy(buffer_);
}

}  // namespace tavelin
