// glTF 2.0 through tinygltf, a small library that Debian keeps: it writes the JSON and the binary
// container with the buffers inside, so that the file stands alone.
#pragma once

#include <array>
#include <string>

#include "mesh/mesh_export.h"

namespace kavelo::mesh {

// A .glb when `binary`, else a .gltf with its buffer as a data URI.
std::string WriteGltf(const SceneMesh& mesh, const std::array<double, 3>& colour, bool binary);

}  // namespace kavelo::mesh
