#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdlib>

#include "core/image/PngDecoder.h"
#include "core/png/PngEncoder.h"

namespace tavelin {
namespace {

// Screen-like rows (flat runs, gradients, noise), premultiplied, opaque or with varying alpha.
Image sampleImage(int width, int height, bool opaque) {
    Image image = Image::allocate(width, height);
    uint32_t noise = 99;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.mutableRow(y);
        for (int x = 0; x < width; ++x, p += 4) {
            noise = noise * 1103515245 + 12345;
            const auto alpha = static_cast<uint8_t>(opaque ? 255 : (x * 29 + y * 7) % 256);
            const uint8_t values[3] = {static_cast<uint8_t>(y * 3), static_cast<uint8_t>(noise >> 24),
                                       static_cast<uint8_t>(y % 5 == 0 ? 90 : x)};
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(values[c] * alpha / 255);
            p[3] = alpha;
        }
    }
    return opaque ? image.asOpaque() : image;
}

TEST(PngDecoder, GivesBackWhatTheEncoderWrote) {
    for (const bool opaque : {true, false}) {
        SCOPED_TRACE(opaque ? "opaque" : "translucent");
        const Image image = sampleImage(301, 77, opaque);
        const std::vector<uint8_t> png = encodePng(image);
        const auto decoded = decodePng(png.data(), png.size());
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->width(), 301);
        ASSERT_EQ(decoded->height(), 77);
        EXPECT_EQ(decoded->isOpaque(), opaque);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width() * 4; ++x) {
                const int expected = (x % 4 == 3 && opaque) ? 255 : image.row(y)[x];
                // Straight alpha in the file: premultiplying again may round by one.
                ASSERT_LE(std::abs(decoded->row(y)[x] - expected), opaque ? 0 : 1)
                    << x / 4 << "," << y << " byte " << x % 4;
            }
        }
    }
}

void appendTo(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// A 16-bit grey, interlaced PNG from libpng: grey level (x + y) * 257 at pixel (x, y).
std::vector<uint8_t> interlacedGrey16(int width, int height) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendTo, nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 16, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<std::vector<uint8_t>> rows(size_t(height), std::vector<uint8_t>(size_t(width) * 2));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rows[size_t(y)][size_t(x) * 2] = rows[size_t(y)][size_t(x) * 2 + 1] = uint8_t(x + y);
        }
        pointers.push_back(rows[size_t(y)].data());
    }
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// What screenshot tools rarely write goes through the general decoder, converted the same way.
TEST(PngDecoder, DecodesOtherKindsOfPngToo) {
    const std::vector<uint8_t> png = interlacedGrey16(37, 21);
    const auto decoded = decodePng(png.data(), png.size());
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->width(), 37);
    EXPECT_TRUE(decoded->isOpaque());
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 37; ++x) {
            const uint8_t* p = decoded->row(y) + x * 4;
            ASSERT_EQ(p[0], uint8_t(x + y));
            ASSERT_EQ(p[1], uint8_t(x + y));
            ASSERT_EQ(p[2], uint8_t(x + y));
        }
    }
}

TEST(PngDecoder, RefusesWhatIsNotAWholePng) {
    const std::vector<uint8_t> png = encodePng(sampleImage(64, 64, true));
    const std::vector<uint8_t> noise(4096, 0x5A);
    std::vector<uint8_t> damaged = png;
    damaged[damaged.size() / 2] ^= 0xFF;
    EXPECT_FALSE(decodePng(png.data(), png.size() / 2));
    EXPECT_FALSE(decodePng(damaged.data(), damaged.size()));
    EXPECT_FALSE(decodePng(noise.data(), noise.size()));
    EXPECT_FALSE(decodePng(nullptr, 0));

    // A header promising 30000x30000 pixels over a few bytes of data, its checksum right:
    // refused before 3.6 GB are asked for.
    std::vector<uint8_t> liar = png;
    for (const size_t at : {16u, 20u}) {
        liar[at] = 0, liar[at + 1] = 0, liar[at + 2] = 0x75, liar[at + 3] = 0x30;
    }
    const uLong crc = crc32(0, liar.data() + 12, 17);
    for (int i = 0; i < 4; ++i) liar[29 + i] = uint8_t(crc >> (24 - 8 * i));
    EXPECT_FALSE(decodePng(liar.data(), liar.size()));
}

}  // namespace
}  // namespace tavelin
