#include "PngFastPath.h"

#include <libdeflate.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "PngPixels.h"

namespace tavelin {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kMaxSide = 32768;
constexpr uint8_t kColourRgb = 2;
constexpr uint8_t kColourRgba = 6;

uint32_t bigEndian(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct DecompressorFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

uint8_t paeth(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return uint8_t(left);
    return uint8_t(toUp <= toUpLeft ? up : upLeft);
}

// Undoes a row's filter in place; `previous` is the row above, unfiltered (zeros for the first).
bool unfilter(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t size, size_t bpp) {
    switch (filter) {
        case 0:
            return true;
        case 1:
            for (size_t i = bpp; i < size; ++i) row[i] = uint8_t(row[i] + row[i - bpp]);
            return true;
        case 2:
            for (size_t i = 0; i < size; ++i) row[i] = uint8_t(row[i] + previous[i]);
            return true;
        case 3:
            for (size_t i = 0; i < size; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                row[i] = uint8_t(row[i] + ((left + previous[i]) >> 1));
            }
            return true;
        case 4:
            for (size_t i = 0; i < size; ++i) {
                const int left = i >= bpp ? row[i - bpp] : 0;
                const int upLeft = i >= bpp ? previous[i - bpp] : 0;
                row[i] = uint8_t(row[i] + paeth(left, previous[i], upLeft));
            }
            return true;
        default:
            return false;
    }
}

}  // namespace

FastPathOutcome decodeCommonPng(const uint8_t* data, size_t size, std::optional<Image>& image) {
    if (size < 8 + 25 || std::memcmp(data, kSignature, 8) != 0) return FastPathOutcome::invalid;
    uint32_t width = 0, height = 0;
    size_t bpp = 0;
    std::vector<uint8_t> compressed;
    bool ended = false;
    for (size_t at = 8; !ended;) {
        if (size - at < 12) return FastPathOutcome::invalid;
        const uint32_t length = bigEndian(data + at);
        if (length > size - at - 12) return FastPathOutcome::invalid;
        const uint8_t* type = data + at + 4;
        const uint8_t* body = type + 4;
        if (libdeflate_crc32(0, type, length + 4) != bigEndian(body + length)) {
            return FastPathOutcome::invalid;
        }
        if (at == 8) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13) return FastPathOutcome::invalid;
            width = bigEndian(body);
            height = bigEndian(body + 4);
            const uint8_t depth = body[8], colour = body[9], interlace = body[12];
            if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
                return FastPathOutcome::invalid;
            }
            if (depth != 8 || (colour != kColourRgb && colour != kColourRgba) || interlace != 0) {
                return FastPathOutcome::notForFastPath;
            }
            bpp = colour == kColourRgba ? 4 : 3;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            compressed.insert(compressed.end(), body, body + length);
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            return FastPathOutcome::notForFastPath;  // a transparent colour key
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        }
        at += 12 + size_t(length);
    }

    const size_t rowSize = width * bpp;
    // Deflate shrinks data at most about 1032 times: a header promising more than that is a lie,
    // found out before its memory is asked for.
    const size_t filteredSize = height * (rowSize + 1);
    if (filteredSize / 1032 > compressed.size()) return FastPathOutcome::invalid;
    std::vector<uint8_t> filtered(filteredSize);
    const std::unique_ptr<libdeflate_decompressor, DecompressorFree> inflater(
        libdeflate_alloc_decompressor());
    size_t inflated = 0;
    if (!inflater ||
        libdeflate_zlib_decompress(inflater.get(), compressed.data(), compressed.size(),
                                   filtered.data(), filtered.size(), &inflated) != 0 ||
        inflated != filtered.size()) {
        return FastPathOutcome::invalid;
    }

    Image decoded = Image::allocate(int(width), int(height));
    const std::vector<uint8_t> zeros(rowSize, 0);
    const uint8_t* previous = zeros.data();
    bool opaque = true;
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = filtered.data() + y * (rowSize + 1);
        if (!unfilter(row[0], row + 1, previous, rowSize, bpp)) return FastPathOutcome::invalid;
        opaque &= toPremultipliedBgra(row + 1, decoded.mutableRow(int(y)), int(width), bpp);
        previous = row + 1;
    }
    image = opaque ? decoded.asOpaque() : decoded;
    return FastPathOutcome::decoded;
}

}  // namespace tavelin
