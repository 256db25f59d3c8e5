#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/image/RawPixels.h"

namespace tavelin {
namespace {

using Pixel = std::array<uint8_t, 4>;

// Two rows of one pixel each, the second translucent, with a padding pixel after each that
// must stay as it was.
struct Case {
    PixelLayout layout;
    Pixel opaqueIn, translucentIn;
    Pixel opaqueOut, translucentOut;
    bool opaque;
};

TEST(RawPixels, EveryLayoutBecomesPremultipliedBgra) {
    const Case cases[] = {
        {PixelLayout::bgrx,
         {10, 20, 30, 255},
         {10, 20, 30, 0},
         {10, 20, 30, 255},
         {10, 20, 30, 0},
         true},
        {PixelLayout::bgra,
         {10, 20, 30, 255},
         {200, 100, 50, 128},
         {10, 20, 30, 255},
         {100, 50, 25, 128},
         false},
        {PixelLayout::bgraPremultiplied,
         {10, 20, 30, 255},
         {100, 50, 25, 128},
         {10, 20, 30, 255},
         {100, 50, 25, 128},
         false},
        {PixelLayout::rgbx,
         {30, 20, 10, 255},
         {30, 20, 10, 0},
         {10, 20, 30, 255},
         {10, 20, 30, 0},
         true},
        {PixelLayout::rgba,
         {30, 20, 10, 255},
         {50, 100, 200, 128},
         {10, 20, 30, 255},
         {100, 50, 25, 128},
         false},
        {PixelLayout::rgbaPremultiplied,
         {30, 20, 10, 255},
         {25, 50, 100, 128},
         {10, 20, 30, 255},
         {100, 50, 25, 128},
         false},
    };
    const Pixel padding{1, 2, 3, 4};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.layout));
        std::vector<Pixel> rows{c.opaqueIn, padding, c.translucentIn, padding};
        const bool opaque = toPremultipliedBgraInPlace(rows.front().data(), 1, 2, 8, c.layout);
        EXPECT_EQ(opaque, c.opaque);
        EXPECT_EQ(rows[0], c.opaqueOut);
        EXPECT_EQ(rows[2], c.translucentOut);
        EXPECT_EQ(rows[1], padding);
        EXPECT_EQ(rows[3], padding);
    }
}

TEST(RawPixels, OpaqueImagesOfAlphaLayoutsSayOpaque) {
    for (const PixelLayout layout : {PixelLayout::bgra, PixelLayout::rgbaPremultiplied}) {
        std::vector<Pixel> row{{1, 2, 3, 255}, {4, 5, 6, 255}};
        EXPECT_TRUE(toPremultipliedBgraInPlace(row.front().data(), 2, 1, 8, layout));
    }
}

}  // namespace
}  // namespace tavelin
