#include <gtest/gtest.h>

#include "core/capture/Crop.h"
#include "support/FakeScreenPlatform.h"

namespace tavelin {
namespace {

using testing_support::Bgra;
using testing_support::FakeScreenPlatform;
using testing_support::pixelAt;
using testing_support::syntheticPixel;

const Bgra kTransparent{0, 0, 0, 0};

Bgra opaque(Bgra pixel) {
    pixel.a = 0xFF;
    return pixel;
}

// A 1440x900 screen at scale 2 beside a 1920x1080 screen at scale 1 whose top is 180 points
// higher, and a third screen with a gap before it.
ScreenList layout() {
    return {
        {"A", {0, 0, 1440, 900}, 2, 1, "UUID-A"},
        {"B", {1440, -180, 1920, 1080}, 1, 2, "UUID-B"},
        {"C", {3400, 0, 800, 600}, 1, std::nullopt, std::nullopt},
    };
}

ScreenshotMap capture(const ScreenList& screens) {
    return FakeScreenPlatform(screens).captureAllDisplays().value();
}

TEST(CropImage, MapsPointsToScreenshotPixelsFromTheTopLeft) {
    const ScreenList screens = layout();
    const ScreenshotMap shots = capture(screens);
    const auto cropped = cropImage(shots.at("A"), screens[0], {100, 200, 50, 40});
    ASSERT_TRUE(cropped.ok());
    EXPECT_EQ(cropped->width(), 100);
    EXPECT_EQ(cropped->height(), 80);
    EXPECT_EQ(pixelAt(*cropped, 0, 0), opaque(syntheticPixel(0, 200, 1320)));
    EXPECT_EQ(pixelAt(*cropped, 99, 79), opaque(syntheticPixel(0, 299, 1399)));
}

TEST(CropImage, WidensToWholePixelsAndClips) {
    const ScreenList screens = layout();
    const ScreenshotMap shots = capture(screens);
    const struct {
        Rect rect;
        int x, y, width, height;
    } cases[] = {
        {{1450.5, 0, 20, 10}, 10, 890, 21, 10},        // x 10.5 + 20 covers columns 10 to 30
        {{1440, 880, 100, 50}, 0, 0, 100, 20},         // hangs over the top edge
        {{1430, -180, 20, 0.25}, 0, 1079, 10, 1},      // a quarter row still yields one row
        {{3300, -180, 200, 1080}, 1860, 0, 60, 1080},  // hangs over the right edge
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.x << "," << c.rect.y);
        const auto cropped = cropImage(shots.at("B"), screens[1], c.rect);
        ASSERT_TRUE(cropped.ok());
        EXPECT_EQ(cropped->width(), c.width);
        EXPECT_EQ(cropped->height(), c.height);
        EXPECT_EQ(pixelAt(*cropped, 0, 0), opaque(syntheticPixel(1, c.x, c.y)));
    }
    EXPECT_EQ(cropImage(shots.at("B"), screens[1], {0, 0, 100, 100}).error(),
              CaptureError::croppingFailed);
}

TEST(CropSelection, OneScreenIsAViewOnItsScreenshot) {
    const ScreenList screens = layout();
    const ScreenshotMap shots = capture(screens);
    // Ends exactly where screen B begins: still one screen.
    const auto cropped = cropSelection(screens, shots, {1340, 0, 100, 100});
    ASSERT_TRUE(cropped.ok());
    EXPECT_EQ(cropped->width(), 200);
    EXPECT_EQ(cropped->row(0), shots.at("A").row(1600) + 2680 * 4);
}

TEST(CropSelection, SpanningScreensCompositesAtTheSmallestScale) {
    const ScreenList screens = layout();
    const ScreenshotMap shots = capture(screens);
    const Rect rect{1400, 800, 80.5, 150.7};  // A's top-right corner into B
    const auto composite = cropSelection(screens, shots, rect);
    ASSERT_TRUE(composite.ok());
    ASSERT_EQ(composite->width(), 80);
    ASSERT_EQ(composite->height(), 150);
    EXPECT_FALSE(composite->isOpaque());

    // The canvas is anchored at the selection's bottom edge (y 800): canvas row 149 is the
    // points row 800..801. A's part ends at y 900, so it fills rows 50 to 149 of columns 0-39.
    // Point (1400, 899) on A is pixels 2800-2801 of rows 0-1: averaged 2x2.
    const Image& a = shots.at("A");
    const Bgra topLeft = pixelAt(*composite, 0, 50);
    for (int c = 0; c < 3; ++c) {
        const uint8_t* p0 = a.row(0) + 2800 * 4;
        const uint8_t* p1 = a.row(1) + 2800 * 4;
        const unsigned sum = p0[c] + p0[4 + c] + p1[c] + p1[4 + c];
        const uint8_t expected = static_cast<uint8_t>((sum + 2) / 4);
        EXPECT_EQ((&topLeft.b)[c], expected) << "channel " << c;
    }
    EXPECT_EQ(topLeft.a, 0xFF);
    // Above A (rows 0 to 49 at x < 40, points y 900 and up) no screen shows anything.
    EXPECT_EQ(pixelAt(*composite, 10, 20), kTransparent);
    // B at scale 1: its part starts at column 40 and runs from its top row (y 900) down.
    EXPECT_EQ(pixelAt(*composite, 40, 50), opaque(syntheticPixel(1, 0, 0)));
    EXPECT_EQ(pixelAt(*composite, 40, 149), opaque(syntheticPixel(1, 0, 99)));
}

TEST(CropSelection, FallbacksAndFailures) {
    const ScreenList screens = layout();
    ScreenshotMap shots = capture(screens);
    EXPECT_EQ(cropSelection(screens, shots, {5000, 0, 10, 10}).error(),
              CaptureError::displayNotFound);
    EXPECT_EQ(cropSelection({}, shots, {0, 0, 10, 10}).error(), CaptureError::displayNotFound);
    // Spanning B, the gap and C: the gap stays transparent.
    const auto gap = cropSelection(screens, shots, {3300, 100, 200, 10});
    ASSERT_TRUE(gap.ok());
    EXPECT_EQ(pixelAt(*gap, 50, 5), opaque(syntheticPixel(1, 1910, 900 - 110 + 5)));
    EXPECT_EQ(pixelAt(*gap, 70, 5), kTransparent);
    EXPECT_EQ(pixelAt(*gap, 160, 5), opaque(syntheticPixel(2, 60, 600 - 110 + 5)));
    // Composite below one pixel.
    EXPECT_EQ(cropSelection(screens, shots, {1439.5, 10, 0.9, 10}).error(),
              CaptureError::captureFailed);
    // A screen whose capture failed: a transparent image of the selection at its scale.
    shots.erase("A");
    const auto missing = cropSelection(screens, shots, {10, 10, 30, 20});
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(missing->width(), 60);
    EXPECT_EQ(missing->height(), 40);
    EXPECT_EQ(pixelAt(*missing, 30, 20), kTransparent);
}

}  // namespace
}  // namespace tavelin
