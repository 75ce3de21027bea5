// The scene's second stage: its lists tessellated into plain geometry, with no GL call, as the
// view of `SamplingView` says. Display list 1 records it; an exporter writes it to a mesh file.
#pragma once

#include <cstddef>

#include "mesh/scene_geometry.h"
#include "render/compile_progress.h"
#include "render/primitive_budget.h"
#include "render/sampling_view.h"
#include "scene/scene.h"

namespace kavelo::render {

using kavelo::mesh::SceneGeometry;
using kavelo::mesh::SceneListStats;

// Control points of an item as GLU takes them, x, y, z, w each as the nearest float, into
// `control` (room for 4 points, or 16). A curve gives the order its points give, at most 4; a
// surface the rows of 4 points it holds completely. Below 2 the item draws nothing.
int CurveControl(const CurveNode& curve, float* control);
int SurfaceControl(const SurfaceNode& surface, float* control);

// Triangles and segments of the scene with every item at its coarsest: the polygons' triangles,
// a curve's chord, a patch's two triangles over its corners. No list can hold less.
std::size_t CoarsestPrimitives(kavelo::scene::SceneHeads heads);

// Tessellates all polygons, then all curves, then all surfaces, each kind in list order. However
// large the view makes an item, it yields at most kMaxPatchVertices or kMaxCurveVertices vertices.
// When the estimate for the whole scene exceeds `budget` triangles and segments, every curve and
// surface is sampled coarser in the same proportion; once the budget is spent, every item after
// is drawn at its coarsest, and when even that exceeds it, all are. No item is left out. Memory
// running out ends the tessellation with the items done so far. When even the coarsest scene
// exceeds `room`, the triangles and segments the memory left holds, nothing is tessellated and
// the stats say `notEnoughMemory`.
SceneGeometry TessellateScene(kavelo::scene::SceneHeads heads, const SamplingView& view,
                              CompileProgress* progress = nullptr,
                              std::size_t budget = kSoftwareBudget, std::size_t room = kNoBudget);

}  // namespace kavelo::render
