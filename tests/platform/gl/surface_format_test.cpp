// The view's format request on Qt.
#include <gtest/gtest.h>
#include <QSurfaceFormat>

#include "platform/gl/surface_format.h"

using kavelo::platform::gl::SceneSurfaceFormat;

namespace {

TEST(PixelFormat, RequestIsDoubleBufferedRgb888WithDepth32AndNothingElse) {
    const QSurfaceFormat f = SceneSurfaceFormat();
    EXPECT_EQ(f.swapBehavior(), QSurfaceFormat::DoubleBuffer);
    EXPECT_EQ(f.renderableType(), QSurfaceFormat::OpenGL);
    EXPECT_EQ(f.profile(), QSurfaceFormat::CompatibilityProfile);
    EXPECT_EQ(f.redBufferSize(), 8);
    EXPECT_EQ(f.greenBufferSize(), 8);
    EXPECT_EQ(f.blueBufferSize(), 8);
    EXPECT_EQ(f.alphaBufferSize(), 0);
    EXPECT_EQ(f.depthBufferSize(), 32);
    EXPECT_EQ(f.stencilBufferSize(), 0);
}

}  // namespace
