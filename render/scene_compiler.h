// Compiles the scene lists into one display list that every frame replays.
#pragma once

#include <cstddef>

#include "scene/scene.h"

// The display list holding the compiled scene. A fixed name: compiling again replaces it.
inline constexpr unsigned SCENE_LIST = 1;

// What a compiled list draws.
struct SceneListStats {
    std::size_t vertices = 0;
    std::size_t triangles = 0;
};

// Compiles all polygons, then all curves, then all surfaces, each kind in list order, into
// SCENE_LIST. Expects a current context; GLU tessellates under the matrices and viewport that
// the context holds now. Null heads count as empty lists.
//
// The list holds plain geometry: each polygon, then the line strips of all curves after the
// normal (-1, -1, -1), then the triangle strips of all surfaces with the normals GLU computed,
// each kind in one draw. No NURBS map is evaluated when the list is replayed. However large the
// view makes an item, it yields at most kMaxPatchVertices or kMaxCurveVertices vertices.
//
// A curve of 2 or 3 points is drawn as the rational Bezier curve of that order, and a surface of
// fewer than 16 points from its complete rows of 4 when it has at least two; anything shorter
// draws nothing. Points past an item's count are never read.
SceneListStats CompileSceneList(const PolygonNode* polygons, const CurveNode* curves,
                                const SurfaceNode* surfaces);
