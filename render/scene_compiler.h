// Compiles the scene lists into one display list that every frame replays.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "scene/scene.h"

// The display list holding the compiled scene. A fixed name: compiling again replaces it.
inline constexpr unsigned SCENE_LIST = 1;

namespace kavelo::render {

// The most triangles and line segments the list holds: a frame of them at 800x600 takes about
// 100 ms on llvmpipe with two cores (2 million took 500 ms).
inline constexpr std::size_t kPrimitiveBudget = 300'000;

// What a compiled list draws: the vertices it sends at each replay (three to each triangle, two
// to each line segment) and its triangles; whether the budget made the curves and surfaces
// coarser than GLU would sample them; the items drawn, of all read, fewer when memory ran out.
struct SceneListStats {
    std::size_t vertices = 0;
    std::size_t triangles = 0;
    bool budgetApplied = false;
    bool outOfMemory = false;
    std::size_t items = 0;
    std::size_t itemsDrawn = 0;
};

// Told how far the tessellation has come: `done` of `total` items of `kind` ("curves" or
// "surfaces"), every few dozen items; the listener decides how often to show it.
class CompileProgress {
  public:
    virtual ~CompileProgress() = default;
    virtual void Tessellating(const char* kind, std::size_t done, std::size_t total) = 0;
};

// Passes "Tessellating surfaces: 3,200 of 9,384", or "Reading input.txt: 40%", to `show` once the
// work has run for `firstAfter` (half a second unless the work is known to be long), and from then
// on at most four times a second.
class PacedProgress final : public CompileProgress {
  public:
    explicit PacedProgress(std::function<void(const std::string&)> show,
                           std::chrono::milliseconds firstAfter = std::chrono::milliseconds(500));
    void Tessellating(const char* kind, std::size_t done, std::size_t total) override;
    // `done` of `total` bytes of the file read.
    void Reading(std::string_view fileName, std::size_t done, std::size_t total);
    // Whether `show` has run; inside it, whether it ran before.
    bool Shown() const { return m_bShown; }

  private:
    bool Due();

    std::function<void(const std::string&)> m_show;
    std::chrono::steady_clock::time_point m_next;  // no word before this
    bool m_bShown = false;
};

// "12,345": digits grouped by threes with commas, in every locale.
std::string GroupedCount(std::size_t n);

// "Out of memory while tessellating: 1,200 of 300,000 items drawn" when memory ran out, "More
// items than the budget of ...: N of M items drawn" when the budget left items out, else empty.
std::string CompileDiagnostic(const SceneListStats& stats);

// Control points of an item as GLU takes them, x, y, z, w each as the nearest float, into
// `control` (room for 4 points, or 16). A curve gives the order its points give, at most 4; a
// surface the rows of 4 points it holds completely. Below 2 the item draws nothing.
int CurveControl(const CurveNode& curve, float* control);
int SurfaceControl(const SurfaceNode& surface, float* control);

// Whether compiling these lists may keep the user waiting (thousands of curves and surfaces), so
// that a viewer shows its window before it compiles them.
bool CompileMayTakeLong(const CurveNode* curves, const SurfaceNode* surfaces);

// Compiles all polygons, then all curves, then all surfaces, each kind in list order, into
// SCENE_LIST. Expects a current context; GLU tessellates under the matrices and viewport that
// the context holds now. Null heads count as empty lists.
//
// The list holds plain geometry in three runs of draws: the triangles of all polygons, each corner
// with its polygon's normal; the line segments of all curves after the normal (-1, -1, -1); the
// triangles of all surfaces with the normals GLU computed. No NURBS map is evaluated when the
// list is replayed. However large the view makes an item, it yields at most kMaxPatchVertices or
// kMaxCurveVertices vertices. When GLU's estimate for the whole scene exceeds `budget` triangles
// and segments, every curve and surface is sampled coarser in the same proportion. Memory running
// out ends the tessellation; the list then holds the items done so far.
SceneListStats CompileSceneList(const PolygonNode* polygons, const CurveNode* curves,
                                const SurfaceNode* surfaces, CompileProgress* progress = nullptr,
                                std::size_t budget = kPrimitiveBudget);

}  // namespace kavelo::render
