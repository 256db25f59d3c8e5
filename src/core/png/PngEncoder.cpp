#include "PngEncoder.h"

#include <libdeflate.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "core/png/RowFilter.h"

namespace tavelin {
namespace {

// Level 2 of libdeflate compresses screen content close to zlib's default at a tenth of the time.
constexpr int kCompressionLevel = 2;

void appendBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendChunk(std::vector<uint8_t>& out, std::string_view type, const uint8_t* data,
                 size_t length) {
    appendBigEndian(out, static_cast<uint32_t>(length));
    const size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data, data + length);
    const uint32_t crc = libdeflate_crc32(0, out.data() + typeStart, length + 4);
    appendBigEndian(out, crc);
}

// One image row as PNG wants it: RGB, or RGBA with alpha no longer premultiplied.
void unpackRow(const uint8_t* bgra, int width, bool opaque, uint8_t* out) {
    if (opaque) {
        for (int x = 0; x < width; ++x, bgra += 4, out += 3) {
            out[0] = bgra[2];
            out[1] = bgra[1];
            out[2] = bgra[0];
        }
        return;
    }
    for (int x = 0; x < width; ++x, bgra += 4, out += 4) {
        const unsigned alpha = bgra[3];
        if (alpha == 0xFF || alpha == 0) {
            out[0] = alpha ? bgra[2] : 0;
            out[1] = alpha ? bgra[1] : 0;
            out[2] = alpha ? bgra[0] : 0;
        } else {
            out[0] = static_cast<uint8_t>(std::min(255u, (bgra[2] * 255u + alpha / 2) / alpha));
            out[1] = static_cast<uint8_t>(std::min(255u, (bgra[1] * 255u + alpha / 2) / alpha));
            out[2] = static_cast<uint8_t>(std::min(255u, (bgra[0] * 255u + alpha / 2) / alpha));
        }
        out[3] = static_cast<uint8_t>(alpha);
    }
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

}  // namespace

std::vector<uint8_t> encodePng(const Image& image) {
    const int width = image.width();
    const int height = image.height();
    const bool opaque = image.isOpaque();
    const size_t channels = opaque ? 3 : 4;
    const size_t rowBytes = static_cast<size_t>(width) * channels;

    // Filtered rows, each behind its filter-type byte, as the deflate input.
    std::vector<uint8_t> filtered((rowBytes + 1) * static_cast<size_t>(height));
    std::vector<uint8_t> previous(rowBytes, 0);
    std::vector<uint8_t> current(rowBytes);
    RowFilter filter(rowBytes, channels);
    for (int y = 0; y < height; ++y) {
        unpackRow(image.row(y), width, opaque, current.data());
        uint8_t* out = filtered.data() + static_cast<size_t>(y) * (rowBytes + 1);
        filter.apply(current.data(), previous.data(), out);
        current.swap(previous);
    }

    const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(kCompressionLevel));
    if (!compressor) throw std::bad_alloc();
    std::vector<uint8_t> compressed(
        libdeflate_zlib_compress_bound(compressor.get(), filtered.size()));
    const size_t compressedSize = libdeflate_zlib_compress(
        compressor.get(), filtered.data(), filtered.size(), compressed.data(), compressed.size());

    std::vector<uint8_t> png;
    png.reserve(compressedSize + 64);
    static constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png.insert(png.end(), kSignature.begin(), kSignature.end());

    std::vector<uint8_t> header;
    appendBigEndian(header, static_cast<uint32_t>(width));
    appendBigEndian(header, static_cast<uint32_t>(height));
    const uint8_t bitDepth = 8;
    const uint8_t colourType = opaque ? 2 : 6;  // truecolour, with or without alpha
    header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
    appendChunk(png, "IHDR", header.data(), header.size());
    appendChunk(png, "IDAT", compressed.data(), compressedSize);
    appendChunk(png, "IEND", nullptr, 0);
    return png;
}

}  // namespace tavelin
