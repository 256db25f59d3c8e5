#include "ImageReserve.h"

#include <unistd.h>

namespace tavelin {

void ImageReserve::reserve(int width, int height) {
    Image image = Image::allocate(width, height);
    const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    uint8_t* pixels = image.mutableRow(0);
    const size_t size = image.stride() * static_cast<size_t>(height);
    // Writing zero keeps the memory as the allocation promised it: transparent.
    for (size_t offset = 0; offset < size; offset += page) pixels[offset] = 0;
    images_.push_back(std::move(image));
}

Image ImageReserve::take(int width, int height) {
    for (auto it = images_.begin(); it != images_.end(); ++it) {
        if (it->width() == width && it->height() == height) {
            Image image = std::move(*it);
            images_.erase(it);
            return image;
        }
    }
    return Image::allocate(width, height);
}

}  // namespace tavelin
