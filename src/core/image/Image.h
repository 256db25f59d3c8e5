#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tavelin {

// Pixels as premultiplied BGRA8 (memory order blue, green, red, alpha), row 0 at the top. The
// buffer is shared: copies and crops are views on the same pixels, never copies of them.
// An opaque image's alpha bytes carry no meaning (screenshots come that way from the X server)
// and read as 255.
class Image {
public:
    static constexpr int kBytesPerPixel = 4;

    Image() = default;
    // A new buffer, cleared to fully transparent.
    static Image allocate(int width, int height);
    // Adopts pixels that `owner` keeps alive.
    Image(std::shared_ptr<uint8_t> owner, uint8_t* origin, int width, int height, size_t stride,
          bool opaque)
        : owner_(std::move(owner)),
          origin_(origin),
          width_(width),
          height_(height),
          stride_(stride),
          opaque_(opaque) {}

    int width() const { return width_; }
    int height() const { return height_; }
    size_t stride() const { return stride_; }
    bool isOpaque() const { return opaque_; }

    const uint8_t* row(int y) const { return origin_ + stride_ * static_cast<size_t>(y); }
    uint8_t* mutableRow(int y) const { return origin_ + stride_ * static_cast<size_t>(y); }

    // The same pixels, declared opaque: their alpha bytes are to be ignored.
    Image asOpaque() const {
        Image opaque = *this;
        opaque.opaque_ = true;
        return opaque;
    }

    // A view of the pixel rectangle, which must lie inside the image.
    Image view(int x, int y, int width, int height) const;

private:
    std::shared_ptr<uint8_t> owner_;
    uint8_t* origin_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    size_t stride_ = 0;
    bool opaque_ = false;
};

}  // namespace tavelin
