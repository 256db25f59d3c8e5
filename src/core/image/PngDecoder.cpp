#include "PngDecoder.h"

#include <spng.h>

#include <memory>
#include <new>

#include "PngFastPath.h"
#include "PngPixels.h"

namespace tavelin {
namespace {

constexpr uint32_t kMaxSide = 32768;

struct ContextFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

// Any PNG, through libspng.
std::optional<Image> decodeAnyPng(const uint8_t* data, size_t size) {
    std::unique_ptr<spng_ctx, ContextFree> context(spng_ctx_new(0));
    if (!context) return std::nullopt;
    spng_ctx* png = context.get();
    spng_ihdr header{};
    if (spng_set_image_limits(png, kMaxSide, kMaxSide) || spng_set_png_buffer(png, data, size) ||
        spng_get_ihdr(png, &header)) {
        return std::nullopt;
    }
    const int width = static_cast<int>(header.width);
    const int height = static_cast<int>(header.height);
    size_t decodedSize = 0;
    if (spng_decoded_image_size(png, SPNG_FMT_RGBA8, &decodedSize) ||
        decodedSize != static_cast<size_t>(width) * Image::kBytesPerPixel * height) {
        return std::nullopt;
    }
    Image image = Image::allocate(width, height);
    const size_t rowSize = static_cast<size_t>(width) * Image::kBytesPerPixel;
    bool opaque = true;
    if (header.interlace_method != SPNG_INTERLACE_NONE) {
        if (spng_decode_image(png, image.mutableRow(0), decodedSize, SPNG_FMT_RGBA8,
                              SPNG_DECODE_TRNS)) {
            return std::nullopt;
        }
        for (int y = 0; y < height; ++y) opaque &= toPremultipliedBgra(image.row(y), image.mutableRow(y), width, 4);
        return opaque ? image.asOpaque() : image;
    }
    // Row by row, so that each row is converted while it is still in the cache.
    if (spng_decode_image(png, nullptr, 0, SPNG_FMT_RGBA8,
                          SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE)) {
        return std::nullopt;
    }
    for (int status = 0; status != SPNG_EOI;) {
        spng_row_info info{};
        if (spng_get_row_info(png, &info)) return std::nullopt;
        uint8_t* row = image.mutableRow(static_cast<int>(info.row_num));
        status = spng_decode_row(png, row, rowSize);
        if (status != 0 && status != SPNG_EOI) return std::nullopt;
        opaque &= toPremultipliedBgra(row, row, width, 4);
    }
    return opaque ? image.asOpaque() : image;
}

}  // namespace

std::optional<Image> decodePng(const uint8_t* data, size_t size) {
    std::optional<Image> image;
    try {
        switch (decodeCommonPng(data, size, image)) {
            case FastPathOutcome::decoded:
                return image;
            case FastPathOutcome::notForFastPath:
                return decodeAnyPng(data, size);
            case FastPathOutcome::invalid:
                break;
        }
    } catch (const std::bad_alloc&) {
        // A picture larger than the memory there is: as unreadable as a damaged one.
    }
    return std::nullopt;
}

}  // namespace tavelin
