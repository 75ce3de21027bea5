// The picture mode of kavelo-render: a scene file drawn headless as the viewer draws it.
#pragma once

#include <string>

#include "tools/command_line.h"

namespace kavelo::tools {

// Reads, draws and writes the picture; returns the exit status.
int RenderPicture(const PictureRequest& request);

}  // namespace kavelo::tools
