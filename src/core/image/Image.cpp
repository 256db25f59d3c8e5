#include "Image.h"

#include <cstdlib>
#include <new>

namespace tavelin {

Image Image::allocate(int width, int height) {
    const size_t stride = static_cast<size_t>(width) * kBytesPerPixel;
    // calloc: a large zeroed buffer comes straight from fresh pages, cleared for free.
    auto* pixels = static_cast<uint8_t*>(std::calloc(stride * static_cast<size_t>(height), 1));
    if (!pixels && width > 0 && height > 0) throw std::bad_alloc();
    std::shared_ptr<uint8_t> owner(pixels, [](uint8_t* p) { std::free(p); });
    return Image(std::move(owner), pixels, width, height, stride, false);
}

Image Image::view(int x, int y, int width, int height) const {
    return Image(
        owner_,
        origin_ + stride_ * static_cast<size_t>(y) + static_cast<size_t>(x) * kBytesPerPixel, width,
        height, stride_, opaque_);
}

}  // namespace tavelin
