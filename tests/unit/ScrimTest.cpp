#include <gtest/gtest.h>

#include <vector>

#include "core/image/Scrim.h"

namespace tavelin {
namespace {

// Every colour, whatever its top byte held: dimmed as the toolkit dims it, then given back.
TEST(Scrim, EveryColourComesBackFromUnderTheScrim) {
    constexpr uint32_t kColours = 1u << 24;
    std::vector<uint32_t> pixels(kColours);
    for (uint32_t colour = 0; colour < kColours; ++colour) pixels[colour] = colour | 0x5a000000u;
    dimKeepingRest(pixels.data(), pixels.size());
    std::vector<uint32_t> restored(kColours);
    restoreFromScrim(pixels.data(), restored.data(), restored.size());
    size_t wrongDim = 0;
    size_t wrongBack = 0;
    for (uint32_t colour = 0; colour < kColours; ++colour) {
        wrongDim += (pixels[colour] & 0x00ffffffu) != (underScrim(colour) & 0x00ffffffu);
        wrongBack += restored[colour] != (colour | 0xff000000u);
    }
    EXPECT_EQ(wrongDim, 0u);
    EXPECT_EQ(wrongBack, 0u);
}

TEST(Scrim, DimsAsTheToolkitBlendsBlackAtFortyPercent) {
    EXPECT_EQ(underScrim(0xff000000u), 0xff000000u);
    EXPECT_EQ(underScrim(0xffffffffu), 0xff999999u);  // 255 * 153 / 255
    EXPECT_EQ(underScrim(0xff808080u), 0xff4d4d4du);  // 128 * 0.6 = 76.8
}

}  // namespace
}  // namespace tavelin
