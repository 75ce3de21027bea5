// The format Qt granted the view, read back as the description the palette code works on.
#pragma once

#include <QSurfaceFormat>

#include "render/palette.h"

namespace kavelo::view {

// Flags and bit layout of a granted format, red in the lowest bits. Qt's formats are true
// colour, so the flags never ask for a palette.
kavelo::render::PixelFormatDescription DescribeFormat(const QSurfaceFormat& granted);

}  // namespace kavelo::view
