#include <gtest/gtest.h>

#include "core/png/PngEncoder.h"
#include "support/PngDecode.h"

namespace tavelin {
namespace {

using testing_support::decodePng;

// Content with flat runs, gradients and noise, so that every row filter gets chosen somewhere.
Image sampleImage(int width, int height, bool opaque) {
    Image image = Image::allocate(width, height);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.mutableRow(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245 + 12345;
            const bool flat = (y / 7) % 3 == 0;
            uint8_t* p = row + x * 4;
            const auto alpha = static_cast<uint8_t>(opaque ? 0xFF : (x * 37 + y * 11) % 256);
            const uint8_t r = flat ? 200 : static_cast<uint8_t>(x * 3 + y);
            const uint8_t g = flat ? 200 : static_cast<uint8_t>(noise >> 24);
            const uint8_t b = static_cast<uint8_t>(y * 5);
            p[0] = static_cast<uint8_t>(b * alpha / 255);
            p[1] = static_cast<uint8_t>(g * alpha / 255);
            p[2] = static_cast<uint8_t>(r * alpha / 255);
            p[3] = opaque ? 0 : alpha;  // an opaque image's alpha bytes mean nothing
        }
    }
    return opaque ? image.asOpaque() : image;
}

// Premultiplied BGRA back to what a straight RGBA decoder must see.
void expectSamePixels(const Image& image, const testing_support::DecodedPng& png) {
    ASSERT_EQ(png.width, image.width());
    ASSERT_EQ(png.height, image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const uint8_t* in = image.row(y) + x * 4;
            const uint8_t* out = png.at(x, y);
            const unsigned alpha = image.isOpaque() ? 255 : in[3];
            ASSERT_EQ(out[3], alpha) << x << "," << y;
            for (int c = 0; c < 3; ++c) {
                // Un-premultiplied and premultiplied again, the value must come back.
                const unsigned back = (out[c] * alpha + 127) / 255;
                ASSERT_LE(std::abs(static_cast<int>(back) - in[2 - c]), alpha == 255 ? 0 : 1)
                    << x << "," << y << " channel " << c;
            }
        }
    }
}

TEST(PngEncoder, RoundTripsEveryPixel) {
    const struct {
        int width, height;
        bool opaque;
        int colourType;
    } cases[] = {{1, 1, true, 2},  {37, 23, true, 2},  {300, 90, true, 2},
                 {1, 1, false, 6}, {37, 23, false, 6}, {300, 90, false, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " opaque " << c.opaque);
        const Image image = sampleImage(c.width, c.height, c.opaque);
        const auto png = decodePng(encodePng(image));
        ASSERT_TRUE(png);
        EXPECT_EQ(png->colourType, c.colourType);
        expectSamePixels(image, *png);
    }
}

TEST(PngEncoder, EncodesAViewWithItsParentsStride) {
    const Image parent = sampleImage(120, 80, true);
    const Image view = parent.view(13, 7, 50, 31);
    const auto png = decodePng(encodePng(view));
    ASSERT_TRUE(png);
    expectSamePixels(view, *png);
}

}  // namespace
}  // namespace tavelin
