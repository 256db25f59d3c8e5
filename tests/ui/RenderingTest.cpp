#include <QRandomGenerator>

#include "OverlayFixture.h"
#include "ui/overlay/OverlayDrawing.h"
#include "ui/overlay/ScrimBlit.h"

namespace tavelin {
namespace {

using Rendering = testing_support::OverlayFixture;
using testing_support::syntheticPixel;

struct Pixel {
    int r, g, b;
};

Pixel at(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return {qRed(rgb), qGreen(rgb), qBlue(rgb)};
}

Pixel screenshotAt(int x, int y) {
    const auto p = syntheticPixel(0, x, y);
    return {p.r, p.g, p.b};
}

// Black at 0.4 over the screenshot.
Pixel dimmed(Pixel p) {
    const auto dim = [](int v) { return (v * 153 + 127) / 255; };
    return {dim(p.r), dim(p.g), dim(p.b)};
}

void expectNear(Pixel actual, Pixel expected, int tolerance, const char* what) {
    EXPECT_NEAR(actual.r, expected.r, tolerance) << what;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << what;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << what;
}

bool isDark(Pixel p) {
    return p.r < 80 && p.g < 80 && p.b < 80;
}

TEST_F(Rendering, ScrimCutoutOutlineAndLabelsWhereTheRulesPutThem) {
    // Global 100,100 200x150 is local x 100, y 650 on the 900-point primary view.
    state().selectedRect = Rect{100, 100, 200, 150};
    QTest::mouseMove(&view(0), QPoint(1000, 300));
    settle();
    const QImage image = view(0).grab().toImage();
    ASSERT_EQ(image.size(), QSize(1440, 900));

    expectNear(at(image, 700, 500), dimmed(screenshotAt(700, 500)), 1, "dimmed area");
    expectNear(at(image, 150, 760), screenshotAt(150, 760), 0, "undimmed cutout");
    for (const QPoint outline :
         {QPoint(99, 760), QPoint(100, 760), QPoint(250, 649), QPoint(299, 700)}) {
        expectNear(at(image, outline.x(), outline.y()), {255, 255, 255}, 0, "outline");
    }
    expectNear(at(image, 98, 760), dimmed(screenshotAt(98, 760)), 1, "just outside the outline");
    expectNear(at(image, 101, 760), screenshotAt(101, 760), 0, "just inside the outline");

    // Size label centred on the selection (200, 725); coordinate label centred 60+20 right
    // of and 12+20 below the pointer (1080, 332).
    EXPECT_TRUE(isDark(at(image, 175, 725))) << "size label box";
    EXPECT_TRUE(isDark(at(image, 1045, 332))) << "coordinate label box";
    // Crosshair through the pointer across the whole view, not over the labels.
    expectNear(at(image, 1000, 10), {255, 255, 255}, 0, "vertical line");
    expectNear(at(image, 10, 300), {255, 255, 255}, 0, "horizontal line");
    expectNear(at(image, 1001, 10), dimmed(screenshotAt(1001, 10)), 1, "one point wide");
}

TEST_F(Rendering, OtherScreensShowTheSameSelectionAndNoPointerLayers) {
    state().selectedRect = Rect{1300, 600, 300, 200};  // across A's top-right into B
    QTest::mouseMove(&view(0), QPoint(500, 500));
    settle();
    const QImage second = view(1).grab().toImage();
    // On B (frame 1440,-180): local x 0..160, y 1080-(600+180)-200 = 100 .. 300.
    const auto shot = syntheticPixel(1, 50, 200);
    expectNear(at(second, 50, 200), {shot.r, shot.g, shot.b}, 0, "cutout on B");
    expectNear(at(second, 159, 200), {255, 255, 255}, 0, "right edge on B");
    const auto far = syntheticPixel(1, 1000, 1000);
    expectNear(at(second, 1000, 1000), dimmed({far.r, far.g, far.b}), 1, "no crosshair on B");
}

// The one-pass scrim gives the toolkit's own pixels, at each scale and offset it takes on.
TEST(ScrimBlit, GivesTheToolkitsOwnPixels) {
    QImage screenshot(64, 48, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < screenshot.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(screenshot.scanLine(y));
        for (int x = 0; x < screenshot.width(); ++x) row[x] = 0xff000000u | random.generate();
    }
    const struct {
        int scale;
        QPoint offset;  // in points
    } cases[] = {{1, {0, 0}}, {2, {0, 0}}, {1, {3, 5}}, {2, {4, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        const QSize view = screenshot.size() / c.scale;
        const QRegion plain(QRect(5, 4, 10, 7));
        const QRegion dimmed = QRegion(QRect(QPoint(), view)) - plain;
        const auto canvas = [&] {
            QImage image(screenshot.size() + QSize(c.offset.x(), c.offset.y()) * c.scale,
                         QImage::Format_RGB32);
            image.setDevicePixelRatio(c.scale);
            image.fill(Qt::green);
            return image;
        };
        QImage ours = canvas();
        QImage toolkits = canvas();
        {
            QPainter painter(&ours);
            painter.translate(c.offset);
            ASSERT_TRUE(paintUnderScrim(painter, screenshot, view, plain, dimmed));
        }
        {
            QPainter painter(&toolkits);
            painter.translate(c.offset);
            painter.drawImage(QRectF(QRect(QPoint(), view)), screenshot);
            for (const QRect& r : dimmed) painter.fillRect(r, kScrimColour);
        }
        EXPECT_EQ(ours, toolkits);
    }
    // A view shown at another resolution than the screenshot's is left to the toolkit.
    QImage other(32, 24, QImage::Format_RGB32);
    QPainter painter(&other);
    EXPECT_FALSE(paintUnderScrim(painter, screenshot, other.size(), {}, QRegion(other.rect())));
}

}  // namespace
}  // namespace tavelin
