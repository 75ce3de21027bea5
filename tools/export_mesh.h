// The mesh mode of kavelo-render: the scene tessellated as its picture would be, written as a
// mesh file that other programs read.
#pragma once

#include "tools/command_line.h"

namespace kavelo::tools {

// Reads, tessellates and writes the mesh file; returns the exit status.
int ExportMesh(const PictureRequest& request);

}  // namespace kavelo::tools
