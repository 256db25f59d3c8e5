#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/x11/X11Capture.h"
#include "platform/x11/X11Monitors.h"
#include "support/VirtualDisplay.h"

namespace tavelin {
namespace {

using testing_support::MonitorLayout;
using testing_support::patternAt;
using testing_support::VirtualDisplay;

void expectPatternEverywhere(const Image& image, const MonitorLayout& monitor) {
    ASSERT_EQ(image.width(), monitor.width);
    ASSERT_EQ(image.height(), monitor.height);
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t* row = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            const testing_support::Rgb expected = patternAt(monitor.x + x, monitor.y + y);
            const testing_support::Rgb actual{row[x * 4 + 2], row[x * 4 + 1], row[x * 4]};
            ASSERT_EQ(actual, expected) << monitor.name << " pixel " << x << "," << y;
        }
    }
}

struct LayoutCase {
    const char* label;
    std::vector<MonitorLayout> monitors;
    std::vector<std::string> serverOptions;
};

class CaptureOnXvfb : public testing::TestWithParam<LayoutCase> {};

TEST_P(CaptureOnXvfb, EveryScreenshotIsPixelExact) {
    const LayoutCase& layout = GetParam();
    VirtualDisplay display(layout.monitors, layout.serverOptions);
    setenv("DISPLAY", display.name().c_str(), 1);
    const auto screenshots = captureAllDisplays();
    ASSERT_TRUE(screenshots.ok()) << screenshots.error().description();
    ASSERT_EQ(screenshots->size(), layout.monitors.size());
    for (const MonitorLayout& monitor : layout.monitors) {
        SCOPED_TRACE(monitor.name);
        ASSERT_TRUE(screenshots->count(monitor.name));
        expectPatternEverywhere(screenshots->at(monitor.name), monitor);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CaptureOnXvfb,
    testing::Values(
        LayoutCase{"two", {{"A", 0, 0, 1280, 800}, {"B", 1280, 200, 1024, 768}}, {}},
        LayoutCase{"three",
                   {{"A", 640, 0, 800, 600}, {"B", 0, 0, 640, 480}, {"C", 1440, 300, 1920, 1080}},
                   {}},
        LayoutCase{"withoutSharedMemory",
                   {{"A", 0, 0, 800, 600}, {"B", 800, 100, 640, 480}},
                   {"-extension", "MIT-SHM"}}),
    [](const testing::TestParamInfo<LayoutCase>& param) { return param.param.label; });

TEST(CaptureOnXvfb, FailsWithoutADisplay) {
    setenv("DISPLAY", ":986", 1);
    const auto screenshots = captureAllDisplays();
    ASSERT_FALSE(screenshots.ok());
    EXPECT_EQ(screenshots.error().description(), "Screen recording permission denied");
}

std::vector<X11Monitor> monitorsOf(const VirtualDisplay& display) {
    const XcbConnection connection = XcbConnection::open(display.name().c_str());
    return listMonitors(connection);
}

TEST(MonitorIdentity, PrimaryFirstDistinctAndStableAcrossServerRestarts) {
    const std::vector<MonitorLayout> layout = {
        {"LEFT", 0, 0, 640, 480}, {"RIGHT", 640, 0, 640, 480}, {"TOP", 0, 480, 640, 480}};
    std::vector<X11Monitor> first;
    {
        VirtualDisplay display(layout);
        first = monitorsOf(display);
    }
    VirtualDisplay again(layout);
    const std::vector<X11Monitor> second = monitorsOf(again);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(first[0].name, "LEFT");
    EXPECT_TRUE(first[0].primary);
    EXPECT_TRUE(first[0].outputId);  // the monitor shown by the server's one output
    EXPECT_FALSE(first[1].outputId);
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].name, second[i].name);
        EXPECT_EQ(first[i].uuid, second[i].uuid);
        EXPECT_EQ(first[i].uuid.size(), 36u);
        for (size_t j = 0; j < i; ++j) EXPECT_NE(first[i].uuid, first[j].uuid);
    }
}

}  // namespace
}  // namespace tavelin
