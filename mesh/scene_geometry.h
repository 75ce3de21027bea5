// The tessellated scene as plain data: what display list 1 records and what a mesh file holds.
// Made by render/scene_tessellation without a GL call; knows neither Qt nor OpenGL.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace kavelo::mesh {

// The tessellation of the items of one kind: independent triangles for surfaces, independent line
// segments for curves, each curve's segments in order along it. One draw of one primitive per kind
// compiles fast, and it is what Mesa's feedback mode replays reliably from a display list.
struct Tessellation {
    int size = 4;                 // floats per vertex
    std::vector<float> vertices;  // x, y, z, w of each vertex
    std::vector<float> normals;   // x, y, z of each vertex; surfaces only
    std::size_t triangles = 0;

    std::size_t VertexCount() const { return vertices.size() / size; }
};

// The polygons as triangles of their corners, in double precision as read, each corner with its
// polygon's normal.
struct PolygonTriangles {
    std::vector<double> vertices;  // x, y, z of each corner
    std::vector<double> normals;

    std::size_t Triangles() const { return vertices.size() / 9; }
};

// What the geometry draws: the vertices it sends at each replay (three to each triangle, two to
// each line segment) and its triangles; the budget in force and whether it made the curves and
// surfaces coarser than GLU would sample them; the items drawn, of all read, fewer only when
// memory ran out, or none when not even the coarsest list fits; those drawn at their coarsest.
struct SceneListStats {
    std::size_t vertices = 0;
    std::size_t triangles = 0;
    std::size_t budget = 0;
    bool budgetApplied = false;
    bool outOfMemory = false;
    bool notEnoughMemory = false;
    bool stopped = false;  // asked to stop: the items after the stop are counted, not drawn
    std::size_t items = 0;
    std::size_t itemsDrawn = 0;
    std::size_t itemsCoarsest = 0;
};

struct SceneGeometry {
    PolygonTriangles polygons;
    // The normal of the last polygon read, which drawing the polygons leaves current.
    std::optional<std::array<double, 3>> lastPolygonNormal;
    Tessellation curves;                   // line segments, lit with the one normal kCurveNormal
    std::vector<std::size_t> curveStarts;  // the first vertex of each curve drawn
    bool anyCurve = false;                 // some curve was tessellated, even to nothing
    Tessellation patches;  // triangles with GLU's normals, each vertex with its weight
    SceneListStats stats;
};

// The normal every curve is lit with: GLU makes none for curves.
inline constexpr std::array<double, 3> kCurveNormal = {-1.0, -1.0, -1.0};

}  // namespace kavelo::mesh
