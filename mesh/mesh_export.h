// The tessellated scene as a mesh file that other programs read: glTF (binary or text), OBJ, PLY
// or STL. Positions are in scene units, before any view's transform; polygons and surfaces are
// triangles, curves line strips; each kind is a mesh of its own, in one material.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mesh/scene_geometry.h"

namespace kavelo::mesh {

enum class MeshFormat { kGlb, kGltf, kObj, kPly, kStl };

// The format a file name's extension names, in any case; none for other names.
std::optional<MeshFormat> MeshFormatOf(std::string_view path);

// One kind of item ready for a file: x, y, z of each vertex and its unit normal. Curves also
// keep where each strip starts.
struct MeshPart {
    const char* name;
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<std::size_t> strips;  // curves: the first vertex of each line strip

    std::size_t VertexCount() const { return positions.size() / 3; }
};

struct SceneMesh {
    MeshPart polygons{"polygons", {}, {}, {}};
    MeshPart curves{"curves", {}, {}, {}};
    MeshPart surfaces{"surfaces", {}, {}, {}};
    std::size_t leftOut = 0;  // triangles and segments with a point beyond the float range

    std::size_t Triangles() const;
    std::size_t Segments() const;
};

// Positions divided through by their weight; normals made unit length, a normal without length
// (as where a patch collapses to a point) replaced by its triangle's own.
SceneMesh MakeSceneMesh(const SceneGeometry& geometry);

// The file's bytes. `colour` is the material's red, green and blue from 0 to 1, as the picture
// shows it. STL holds no lines: the curves are not written.
std::string WriteMesh(const SceneMesh& mesh, MeshFormat format,
                      const std::array<double, 3>& colour);

}  // namespace kavelo::mesh
