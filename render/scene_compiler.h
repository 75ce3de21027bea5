// Compiles the scene lists into one display list that every frame replays.
#pragma once

#include "scene/scene.h"

// The display list holding the compiled scene. A fixed name: compiling again replaces it.
inline constexpr unsigned SCENE_LIST = 1;

// Compiles all polygons, then all curves, then all surfaces, each kind in list order, into
// SCENE_LIST. Expects a current context; GLU tessellates under the matrices and viewport that
// the context holds now. Null heads count as empty lists.
//
// A curve of 2 or 3 points is drawn as the rational Bezier curve of that order, and a surface of
// fewer than 16 points from its complete rows of 4 when it has at least two; anything shorter
// draws nothing. Points past an item's count are never read.
void CompileSceneList(const PolygonNode* polygons, const CurveNode* curves,
                      const SurfaceNode* surfaces);
