#include <gtest/gtest.h>

#include "core/capture/DesktopSplit.h"
#include "support/FakeScreenPlatform.h"

namespace tavelin {
namespace {

using testing_support::Bgra;
using testing_support::pixelAt;
using testing_support::syntheticPixel;

void put(const Image& image, int x, int y, Bgra pixel) {
    uint8_t* p = image.mutableRow(y) + x * 4;
    p[0] = pixel.b;
    p[1] = pixel.g;
    p[2] = pixel.r;
}

// A desktop picture at `pictureScale` of the screens, each showing syntheticPixel at its own
// native resolution, enlarged by a whole factor where the picture's scale is higher.
Image desktopPicture(const ScreenList& screens, int width, int height, double pictureScale,
                     double top) {
    Image picture = Image::allocate(width, height).asOpaque();
    for (size_t index = 0; index < screens.size(); ++index) {
        const Screen& s = screens[index];
        const int factor = static_cast<int>(pictureScale / s.scale);
        const int left = static_cast<int>(s.frame.minX() * pictureScale);
        const int upper = static_cast<int>((top - s.frame.maxY()) * pictureScale);
        const int nativeWidth = static_cast<int>(s.frame.width * s.scale);
        const int nativeHeight = static_cast<int>(s.frame.height * s.scale);
        for (int y = 0; y < nativeHeight * factor; ++y) {
            for (int x = 0; x < nativeWidth * factor; ++x) {
                put(picture, left + x, upper + y, syntheticPixel(index, x / factor, y / factor));
            }
        }
    }
    return picture;
}

void expectNativeContent(const Image& shot, size_t index, int width, int height) {
    ASSERT_EQ(shot.width(), width);
    ASSERT_EQ(shot.height(), height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Bgra expected = syntheticPixel(index, x, y);
            expected.a = 0xFF;
            ASSERT_EQ(pixelAt(shot, x, y), expected) << index << ": " << x << "," << y;
        }
    }
}

TEST(DesktopSplit, OneScreenIsThePictureItself) {
    const ScreenList screens = {{"A", {0, 0, 64, 32}, 1, std::nullopt, std::nullopt}};
    const Image picture = desktopPicture(screens, 64, 32, 1, 32);
    const auto shots = splitDesktopImage(picture, screens);
    ASSERT_TRUE(shots) << shots.error();
    EXPECT_EQ(shots->at("A").row(0), picture.row(0));  // a view, not a copy
    expectNativeContent(shots->at("A"), 0, 64, 32);
}

// A scale-2 screen and a shorter scale-1 screen to its right, tops aligned, in one picture at
// scale 2: the scale-1 screen was enlarged 2x and comes back exact, the gap below it is dropped.
TEST(DesktopSplit, MixedScalesComeBackAtEachScreensNativePixels) {
    const ScreenList screens = {{"A", {0, 0, 100, 50}, 2, std::nullopt, std::nullopt}, {"B", {100, 10, 60, 40}, 1, std::nullopt, std::nullopt}};
    const Image picture = desktopPicture(screens, 320, 100, 2, 50);
    const auto shots = splitDesktopImage(picture, screens);
    ASSERT_TRUE(shots) << shots.error();
    expectNativeContent(shots->at("A"), 0, 200, 100);
    expectNativeContent(shots->at("B"), 1, 60, 40);
}

// A desktop that pictures a scale-2 screen at scale 1 yields the screen's native size, each
// picture pixel covering 2x2 of it.
TEST(DesktopSplit, APictureBelowTheScreensScaleIsEnlarged) {
    const ScreenList screens = {{"A", {0, 0, 40, 20}, 2, std::nullopt, std::nullopt}};
    Image picture = Image::allocate(40, 20).asOpaque();
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) put(picture, x, y, syntheticPixel(0, x, y));
    }
    const auto shots = splitDesktopImage(picture, screens);
    ASSERT_TRUE(shots) << shots.error();
    const Image& shot = shots->at("A");
    ASSERT_EQ(shot.width(), 80);
    ASSERT_EQ(shot.height(), 40);
    Bgra expected = syntheticPixel(0, 13, 7);
    expected.a = 0xFF;
    EXPECT_EQ(pixelAt(shot, 27, 15), expected);
}

TEST(DesktopSplit, APictureOfOtherProportionsIsRefused) {
    const ScreenList screens = {{"A", {0, 0, 100, 50}, 1, std::nullopt, std::nullopt}, {"B", {100, 0, 100, 50}, 1, std::nullopt, std::nullopt}};
    const auto shots = splitDesktopImage(Image::allocate(200, 60), screens);
    ASSERT_FALSE(shots);
    EXPECT_EQ(shots.error(),
              "The desktop picture is 200x60 pixels, which does not fit the screens' 200x50 points");
    EXPECT_FALSE(splitDesktopImage(Image::allocate(10, 10), {}));
}

}  // namespace
}  // namespace tavelin
