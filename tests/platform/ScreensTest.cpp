#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "core/capture/Crop.h"
#include "core/capture/WritePng.h"
#include "support/Files.h"
#include "support/PngDecode.h"
#include "support/VirtualDisplay.h"
#include "ui/platform/x11/X11Backend.h"

namespace tavelin {
namespace {

using testing_support::patternAt;
using testing_support::VirtualDisplay;

// A 1280x800 primary monitor and a 1024x768 one to its right, 200 pixels lower.
const std::vector<testing_support::MonitorLayout> kLayout = {{"A", 0, 0, 1280, 800},
                                                             {"B", 1280, 200, 1024, 768}};

// The toolkit connected to a private X server, as the program runs it.
class ToolkitOnDisplay {
public:
    explicit ToolkitOnDisplay(const char* scaleFactors = nullptr) : display_(kLayout) {
        setenv("DISPLAY", display_.name().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        if (scaleFactors) setenv("QT_SCREEN_SCALE_FACTORS", scaleFactors, 1);
        application_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    ~ToolkitOnDisplay() {
        application_.reset();
        unsetenv("QT_SCREEN_SCALE_FACTORS");
    }

private:
    VirtualDisplay display_;
    int argc_ = 1;
    char name_[16] = "platform_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
};

TEST(Screens, FramesScalesAndScreenshotSizesWithMixedScaleFactors) {
    ToolkitOnDisplay toolkit("A=2;B=1");
    X11Backend platform;
    const ScreenList screens = platform.screens();
    ASSERT_EQ(screens.size(), 2u);

    // A's 1280x800 pixels are 640x400 points; B keeps its top-left at its pixel position.
    EXPECT_EQ(screens[0].name, "A");
    EXPECT_EQ(screens[0].frame, (Rect{0, 0, 640, 400}));
    EXPECT_EQ(screens[0].scale, 2);
    EXPECT_EQ(screens[1].name, "B");
    EXPECT_EQ(screens[1].frame, (Rect{1280, 400 - 968, 1024, 768}));
    EXPECT_EQ(screens[1].scale, 1);
    EXPECT_TRUE(screens[0].displayNumber);
    EXPECT_TRUE(screens[0].uuid && screens[1].uuid);
    EXPECT_EQ(mainScreenOf(screens), screens[0]);

    const auto screenshots = platform.captureAllDisplays();
    ASSERT_TRUE(screenshots.ok());
    EXPECT_EQ(screenshots->at("A").width(), 1280);
    EXPECT_EQ(screenshots->at("A").height(), 800);
    EXPECT_EQ(screenshots->at("B").width(), 1024);

    // A crop at scale 2 comes from the right pixels: points (100, 50) down from A's top-left.
    testing_support::TempDirectory dir;
    const auto crop = cropSelection(screens, *screenshots, {100, 400 - 50 - 30, 40, 30});
    ASSERT_TRUE(crop.ok());
    ASSERT_TRUE(writePng(*crop, dir.path() + "/a.png").ok());
    const auto png = testing_support::decodePngFile(dir.path() + "/a.png");
    ASSERT_TRUE(png);
    ASSERT_EQ(png->width, 80);
    ASSERT_EQ(png->height, 60);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 80; ++x) {
            const auto expected = patternAt(200 + x, 100 + y);
            const uint8_t* p = png->at(x, y);
            ASSERT_EQ((testing_support::Rgb{p[0], p[1], p[2]}), expected) << x << "," << y;
        }
    }
}

TEST(Screens, CropsAndCompositesDecodePixelExactFromThePng) {
    ToolkitOnDisplay toolkit;
    X11Backend platform;
    const ScreenList screens = platform.screens();
    const auto screenshots = platform.captureAllDisplays();
    ASSERT_TRUE(screenshots.ok());
    testing_support::TempDirectory dir;

    // Root pixels (1200, 100) to (1400, 300): A's right edge, B's top-left corner, and above
    // B the part of the root no monitor shows.
    const int left = 1200, top = 100, width = 200, height = 200;
    const Rect rect{double(left), 800.0 - (top + height), double(width), double(height)};
    const auto composite = cropSelection(screens, *screenshots, rect);
    ASSERT_TRUE(composite.ok());
    ASSERT_TRUE(writePng(*composite, dir.path() + "/c.png").ok());
    const auto png = testing_support::decodePngFile(dir.path() + "/c.png");
    ASSERT_TRUE(png);
    ASSERT_EQ(png->width, width);
    ASSERT_EQ(png->height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int rootX = left + x, rootY = top + y;
            const bool onA = rootX < 1280 && rootY < 800;
            const bool onB = rootX >= 1280 && rootY >= 200;
            const uint8_t* p = png->at(x, y);
            if (!onA && !onB) {
                ASSERT_EQ(p[3], 0) << "uncovered pixel " << x << "," << y;
                continue;
            }
            ASSERT_EQ(p[3], 255);
            ASSERT_EQ((testing_support::Rgb{p[0], p[1], p[2]}), patternAt(rootX, rootY))
                << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace tavelin
