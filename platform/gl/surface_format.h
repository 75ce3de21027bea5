// The view's pixel format on Qt: the request, and the granted format read back as the
// description the palette code works on.
#pragma once

#include <QSurfaceFormat>

#include "render/palette.h"

// Double buffered RGBA, 8 bits each of red, green and blue, no alpha, depth 32 asked, no stencil,
// compatibility profile.
QSurfaceFormat SceneSurfaceFormat();

// Flags and bit layout of a granted format, red in the lowest bits. Qt's formats are true
// colour, so the flags never ask for a palette.
PixelFormatDescription DescribeFormat(const QSurfaceFormat& granted);
