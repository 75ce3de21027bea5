// The view's pixel format request on Qt.
#pragma once

#include <QSurfaceFormat>

namespace kavelo::platform::gl {

// Double buffered RGBA, 8 bits each of red, green and blue, no alpha, depth 32 asked, no stencil,
// compatibility profile.
QSurfaceFormat SceneSurfaceFormat();

}  // namespace kavelo::platform::gl
