// The credit text over the picture, drawn with QPainter on an image.
#include <gtest/gtest.h>
#include <QColor>
#include <QImage>
#include <QPainter>

#include "platform/widgets/banner_painter.h"
#include "shell/resources/resources.h"

using kavelo::platform::widgets::DrawBanner;
using kavelo::resources::Banner;

namespace {

const QColor kBackground(10, 20, 30);
const QColor kText(Banner().red, Banner().green, Banner().blue);
const int kBannerBandHeight = Banner().bandHeight;

// `imageWidth` and `clientWidth` in device pixels.
QImage Painted(int imageWidth, int clientWidth, qreal ratio = 1.0) {
    QImage image(imageWidth, 120, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(kBackground);
    QPainter painter(&image);
    DrawBanner(painter, clientWidth);
    return image;
}

struct Ink {
    int x0 = 1 << 30;
    int y0 = 1 << 30;
    int x1 = -1;
    int y1 = -1;
    int pixels = 0;
    int fullTextColour = 0;
};

// Where the image differs from the background.
Ink InkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == kBackground) {
                continue;
            }
            ++ink.pixels;
            ink.fullTextColour += c == kText ? 1 : 0;
            ink.x0 = std::min(ink.x0, x);
            ink.y0 = std::min(ink.y0, y);
            ink.x1 = std::max(ink.x1, x + 1);
            ink.y1 = std::max(ink.y1, y + 1);
            // Text edges blend the text colour into the picture; nothing else is painted.
            EXPECT_GE(c.red(), kBackground.red()) << x << "," << y;
            EXPECT_GE(c.green(), kBackground.green()) << x << "," << y;
            EXPECT_GE(c.blue(), kBackground.blue()) << x << "," << y;
        }
    }
    return ink;
}

TEST(Banner, TextInTheBannerColourCentredInTheBandWithoutBackgroundAndCutWhenNarrow) {
    const QImage wide = Painted(400, 400);
    const Ink ink = InkOf(wide);
    ASSERT_GT(ink.pixels, 0);
    EXPECT_GT(ink.fullTextColour, 20) << "the text colour itself shows";
    EXPECT_LT(ink.pixels, 400 * kBannerBandHeight / 3) << "only the glyphs are painted";
    EXPECT_GE(ink.y0, 0);
    EXPECT_LE(ink.y1, kBannerBandHeight);
    EXPECT_NEAR(ink.x0, 400 - ink.x1, 3) << "centred across the band";
    EXPECT_NEAR((ink.y0 + ink.y1) / 2.0, kBannerBandHeight / 2.0, 5) << "centred down the band";

    // A client narrower than the text: the middle of the same line, cut at both sides of the
    // band, and nothing right of the client.
    const QImage narrow = Painted(400, 80);
    const Ink cut = InkOf(narrow);
    EXPECT_LE(cut.x1, 80);
    EXPECT_LE(cut.x0, 3) << "cut at the left side";
    EXPECT_GE(cut.x1, 77) << "cut at the right side";
    int differing = 0;
    for (int y = 0; y < kBannerBandHeight; ++y) {
        for (int x = 0; x < 80; ++x) {
            differing += narrow.pixel(x, y) != wide.pixel(x + 160, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0) << "the narrow band shows the text's middle";

    // The painter is handed back as it came.
    QImage image(100, 60, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setPen(QColor(1, 2, 3));
    DrawBanner(painter, 100);
    EXPECT_EQ(painter.pen().color(), QColor(1, 2, 3));
    EXPECT_FALSE(painter.hasClipping());
    painter.end();
    EXPECT_TRUE(InkOf(Painted(300, 0)).pixels == 0) << "an empty band shows nothing";
    // At twice the pixels per unit, band and text are twice as large in the device's pixels.
    const Ink one = InkOf(wide);
    const Ink two = InkOf(Painted(800, 800, 2.0));
    EXPECT_NEAR(two.x1 - two.x0, 2 * (one.x1 - one.x0), 4);
    EXPECT_NEAR((two.y0 + two.y1) / 2.0, kBannerBandHeight, 5) << "centred down the band";
}

}  // namespace
