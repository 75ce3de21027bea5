// Compiles the scene lists into one display list that every frame replays.
#pragma once

#include <cstddef>

#include "scene/scene.h"

// The display list holding the compiled scene. A fixed name: compiling again replaces it.
inline constexpr unsigned SCENE_LIST = 1;

namespace kavelo::render {

// What a compiled list draws: the vertices it sends at each replay (three to each triangle, two
// to each line segment) and its triangles.
struct SceneListStats {
    std::size_t vertices = 0;
    std::size_t triangles = 0;
};

// Control points of an item as GLU takes them, x, y, z, w each as the nearest float, into
// `control` (room for 4 points, or 16). A curve gives the order its points give, at most 4; a
// surface the rows of 4 points it holds completely. Below 2 the item draws nothing.
int CurveControl(const CurveNode& curve, float* control);
int SurfaceControl(const SurfaceNode& surface, float* control);

// Compiles all polygons, then all curves, then all surfaces, each kind in list order, into
// SCENE_LIST. Expects a current context; GLU tessellates under the matrices and viewport that
// the context holds now. Null heads count as empty lists.
//
// The list holds plain geometry in three draws: the triangles of all polygons, each corner with
// its polygon's normal; the line segments of all curves after the normal (-1, -1, -1); the
// triangles of all surfaces with the normals GLU computed. No NURBS map is evaluated when the
// list is replayed. However large the view makes an item, it yields at most kMaxPatchVertices or
// kMaxCurveVertices vertices.
SceneListStats CompileSceneList(const PolygonNode* polygons, const CurveNode* curves,
                                const SurfaceNode* surfaces);

}  // namespace kavelo::render
