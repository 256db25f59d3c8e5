#include "PngEncoder.h"

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>

#include "core/png/RowFilter.h"
#include "core/png/VectorClones.h"

namespace tavelin {
namespace {

// ISA-L's level 2 compresses screen content to within a few percent of zlib's default level in
// a small fraction of its time.
constexpr int kCompressionLevel = 2;

void putBigEndian(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value >> 24);
    out[1] = static_cast<uint8_t>(value >> 16);
    out[2] = static_cast<uint8_t>(value >> 8);
    out[3] = static_cast<uint8_t>(value);
}

// Frames the `length` bytes that already sit at `chunk` + 8 as a chunk: length, type, data, CRC.
// Returns the chunk's total size.
size_t frameChunk(uint8_t* chunk, const char (&type)[5], size_t length) {
    putBigEndian(chunk, static_cast<uint32_t>(length));
    std::memcpy(chunk + 4, type, 4);
    putBigEndian(chunk + 8 + length, libdeflate_crc32(0, chunk + 4, length + 4));
    return length + 12;
}

// One image row as PNG wants it: RGB, or RGBA with alpha no longer premultiplied.
VECTOR_CLONES void unpackRow(const uint8_t* bgra, int width, bool opaque, uint8_t* out) {
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

// Unpacks and filters rows [first, last) into `out`, each behind its filter-type byte.
void filterRows(const Image& image, int first, int last, size_t channels, uint8_t* out) {
    const size_t rowBytes = static_cast<size_t>(image.width()) * channels;
    std::vector<uint8_t> previous(rowBytes, 0);
    std::vector<uint8_t> current(rowBytes);
    if (first > 0) unpackRow(image.row(first - 1), image.width(), channels == 3, previous.data());
    RowFilter filter(rowBytes, channels);
    for (int y = first; y < last; ++y) {
        unpackRow(image.row(y), image.width(), channels == 3, current.data());
        filter.apply(current.data(), previous.data(),
                     out + static_cast<size_t>(y - first) * (rowBytes + 1));
        current.swap(previous);
    }
}

// Rows are independent given their predecessor, so a band's rows are split among the cores.
void filterBand(const Image& image, int first, int last, size_t channels, uint8_t* out) {
    const size_t filteredRow = static_cast<size_t>(image.width()) * channels + 1;
    const int rows = last - first;
    const int parts = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1,
                                 std::max(1, std::min(4, rows / 32)));
    std::vector<std::thread> workers;
    for (int part = 1; part < parts; ++part) {
        const int from = first + rows * part / parts;
        workers.emplace_back(filterRows, std::cref(image), from, first + rows * (part + 1) / parts,
                             channels, out + static_cast<size_t>(from - first) * filteredRow);
    }
    filterRows(image, first, first + rows / parts, channels, out);
    for (std::thread& worker : workers) worker.join();
}

// A zlib stream appended to `out` piece by piece, so the filtered image never has to exist in
// memory all at once.
class ZlibStream {
public:
    explicit ZlibStream(std::vector<uint8_t>& out)
        : out_(out), levelBuffer_(ISAL_DEF_LVL2_DEFAULT) {
        isal_deflate_init(&stream_);
        stream_.level = kCompressionLevel;
        stream_.level_buf = levelBuffer_.data();
        stream_.level_buf_size = static_cast<uint32_t>(levelBuffer_.size());
        stream_.gzip_flag = IGZIP_ZLIB;
        stream_.flush = NO_FLUSH;
    }

    void append(const uint8_t* bytes, size_t size, bool last) {
        stream_.next_in = const_cast<uint8_t*>(bytes);
        stream_.avail_in = static_cast<uint32_t>(size);
        stream_.end_of_stream = last ? 1 : 0;
        while (true) {
            const size_t used = out_.size();
            out_.resize(used + size / 4 + 65536);  // incompressible rows grow a little
            stream_.next_out = out_.data() + used;
            stream_.avail_out = static_cast<uint32_t>(out_.size() - used);
            if (isal_deflate(&stream_) != COMP_OK) throw std::runtime_error("deflate failed");
            out_.resize(out_.size() - stream_.avail_out);
            const bool done =
                last ? stream_.internal_state.state == ZSTATE_END : stream_.avail_in == 0;
            if (done) return;
        }
    }

private:
    std::vector<uint8_t>& out_;
    std::vector<uint8_t> levelBuffer_;
    isal_zstream stream_{};
};

constexpr int kBandRows = 128;

}  // namespace

std::vector<uint8_t> encodePng(const Image& image) {
    const int width = image.width();
    const int height = image.height();
    const bool opaque = image.isOpaque();
    const size_t channels = opaque ? 3 : 4;
    const size_t rowBytes = static_cast<size_t>(width) * channels;

    // Signature and header, then the compressed rows straight into the IDAT chunk's place.
    constexpr size_t kSignatureSize = 8, kHeaderChunkSize = 25, kEndChunkSize = 12;
    const size_t idatOffset = kSignatureSize + kHeaderChunkSize;
    std::vector<uint8_t> png(idatOffset + 8);
    png.reserve(static_cast<size_t>(width) * height / 4 + 65536);
    ZlibStream zlib(png);
    std::vector<uint8_t> band((rowBytes + 1) * kBandRows);
    for (int first = 0; first < height; first += kBandRows) {
        const int last = std::min(height, first + kBandRows);
        filterBand(image, first, last, channels, band.data());
        zlib.append(band.data(), (rowBytes + 1) * static_cast<size_t>(last - first),
                    last == height);
    }
    if (height == 0) zlib.append(nullptr, 0, true);
    const size_t compressedSize = png.size() - idatOffset - 8;
    png.resize(png.size() + 4 + kEndChunkSize);

    static constexpr uint8_t kSignature[kSignatureSize] = {0x89, 'P',  'N',  'G',
                                                           '\r', '\n', 0x1A, '\n'};
    std::memcpy(png.data(), kSignature, kSignatureSize);
    uint8_t* header = png.data() + kSignatureSize;
    putBigEndian(header + 8, static_cast<uint32_t>(width));
    putBigEndian(header + 12, static_cast<uint32_t>(height));
    header[16] = 8;                            // bits per channel
    header[17] = opaque ? 2 : 6;               // truecolour, with or without alpha
    header[18] = header[19] = header[20] = 0;  // deflate, adaptive filters, not interlaced
    frameChunk(header, "IHDR", 13);
    const size_t end = idatOffset + frameChunk(png.data() + idatOffset, "IDAT", compressedSize);
    frameChunk(png.data() + end, "IEND", 0);
    return png;
}

}  // namespace tavelin
