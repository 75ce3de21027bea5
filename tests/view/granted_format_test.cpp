// Granted formats read back as the description the palette code works on.
#include <gtest/gtest.h>
#include <QSurfaceFormat>

#include <memory>

#include "render/palette.h"
#include "view/granted_format.h"

using kavelo::render::LogicalPalette;
using kavelo::render::PixelFormatDescription;
using kavelo::view::DescribeFormat;

namespace {

TEST(PixelFormat, GrantedFormatsAreDescribedAsTrueColourAndNeedNoPalette) {
    QSurfaceFormat granted;
    granted.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    granted.setRedBufferSize(8);
    granted.setGreenBufferSize(8);
    granted.setBlueBufferSize(8);
    granted.setAlphaBufferSize(8);
    granted.setDepthBufferSize(24);
    const PixelFormatDescription pfd = DescribeFormat(granted);
    EXPECT_EQ(pfd.dwFlags, 0x25u);  // draw to window, OpenGL, double buffer
    EXPECT_EQ(pfd.cColorBits, 24) << "alpha is not a colour bit";
    EXPECT_EQ(pfd.cRedBits, 8);
    EXPECT_EQ(pfd.cRedShift, 0);
    EXPECT_EQ(pfd.cGreenBits, 8);
    EXPECT_EQ(pfd.cGreenShift, 8);
    EXPECT_EQ(pfd.cBlueBits, 8);
    EXPECT_EQ(pfd.cBlueShift, 16);
    EXPECT_EQ(pfd.cDepthBits, 24);
    std::unique_ptr<LogicalPalette> palette;
    EXPECT_FALSE(BuildPalette(pfd, palette));
    EXPECT_EQ(palette, nullptr);

    // Taken as it comes: single buffered, 5-6-5, sizes Qt does not know.
    QSurfaceFormat plain;
    plain.setSwapBehavior(QSurfaceFormat::SingleBuffer);
    plain.setRedBufferSize(5);
    plain.setGreenBufferSize(6);
    plain.setBlueBufferSize(5);
    const PixelFormatDescription small = DescribeFormat(plain);
    EXPECT_EQ(small.dwFlags, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL);
    EXPECT_EQ(small.cColorBits, 16);
    EXPECT_EQ(small.cGreenShift, 5);
    EXPECT_EQ(small.cBlueShift, 11);
    EXPECT_EQ(small.cDepthBits, 0);
}

}  // namespace
