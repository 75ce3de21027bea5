#include "view/granted_format.h"

#include <algorithm>

namespace kavelo::view {

using kavelo::render::PixelFormatDescription;

PixelFormatDescription DescribeFormat(const QSurfaceFormat& granted) {
    // Qt reports -1 for a size it does not know.
    const auto bits = [](int size) { return std::max(size, 0); };
    PixelFormatDescription pfd;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (granted.swapBehavior() == QSurfaceFormat::DoubleBuffer ||
        granted.swapBehavior() == QSurfaceFormat::TripleBuffer) {
        pfd.dwFlags |= PFD_DOUBLEBUFFER;
    }
    pfd.cRedBits = bits(granted.redBufferSize());
    pfd.cGreenBits = bits(granted.greenBufferSize());
    pfd.cBlueBits = bits(granted.blueBufferSize());
    pfd.cRedShift = 0;
    pfd.cGreenShift = pfd.cRedBits;
    pfd.cBlueShift = pfd.cRedBits + pfd.cGreenBits;
    pfd.cColorBits = pfd.cRedBits + pfd.cGreenBits + pfd.cBlueBits;  // alpha is not counted
    pfd.cDepthBits = bits(granted.depthBufferSize());
    return pfd;
}

}  // namespace kavelo::view
