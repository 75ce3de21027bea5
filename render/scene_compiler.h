// The scene's third stage: its geometry recorded into the one display list every frame replays.
#pragma once

#include <cstddef>
#include <string>

#include "render/compile_progress.h"
#include "render/sampling_view.h"
#include "render/scene_tessellation.h"
#include "scene/scene.h"

// The display list holding the compiled scene. A fixed name: compiling again replaces it.
inline constexpr unsigned SCENE_LIST = 1;

namespace kavelo::render {

// "Stopped: 3,200 of 9,384 items drawn" when asked to stop;
// "Not enough memory for N items even at their coarsest: none drawn" when not even the coarsest
// list fits; "Out of memory while tessellating: 1,200 of 300,000 items drawn" when memory ran out;
// "Coarsened to fit a budget of 2,000,000: ..." when the budget made the list coarser; else empty.
std::string CompileDiagnostic(const SceneListStats& stats);

// Whether compiling these lists may keep the user waiting (thousands of curves and surfaces), so
// that a viewer shows its window before it compiles them.
bool CompileMayTakeLong(kavelo::scene::SceneHeads heads);

// Records the geometry into SCENE_LIST in three runs of draws: the triangles of all polygons, each
// corner with its polygon's normal; the line segments of all curves after the normal
// (-1, -1, -1); the triangles of all surfaces with the normals GLU computed. No NURBS map is
// evaluated when the list is replayed. Expects a current context.
void RecordSceneList(const SceneGeometry& geometry);

// TessellateScene, then RecordSceneList; the geometry is freed before it returns. When even the
// coarsest list exceeds `room`, the triangles and segments the memory left holds, nothing is
// tessellated or asked of the driver, and SCENE_LIST is left empty.
SceneListStats CompileSceneList(kavelo::scene::SceneHeads heads, const SamplingView& view,
                                CompileProgress* progress = nullptr,
                                std::size_t budget = kSoftwareBudget, std::size_t room = kNoBudget);

}  // namespace kavelo::render
