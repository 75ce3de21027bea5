#include "render/scene_compiler.h"

#include <GL/gl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "render/nurbs_tessellation.h"
#include "scene/warning_list.h"

namespace kavelo::render {

using kavelo::scene::CountItems;
using kavelo::scene::GroupedNumber;
using kavelo::scene::SceneHeads;

namespace {

constexpr std::size_t kTrimAfterVertices = 100000;  // about 3 MB of gathered geometry

}  // namespace

bool CompileMayTakeLong(SceneHeads heads) {
    constexpr std::size_t kManyItems = 2000;  // about half a second of compile
    return CountItems(heads.curves) + CountItems(heads.surfaces) >= kManyItems;
}

std::string CompileDiagnostic(const SceneListStats& stats) {
    if (stats.stopped) {
        return "Stopped: " + GroupedNumber(stats.itemsDrawn) + " of " + GroupedNumber(stats.items) +
               " items drawn";
    }
    if (stats.notEnoughMemory) {
        return "Not enough memory for " + GroupedNumber(stats.items) +
               " items even at their coarsest: none drawn";
    }
    if (stats.outOfMemory) {
        return "Out of memory while tessellating: " + GroupedNumber(stats.itemsDrawn) + " of " +
               GroupedNumber(stats.items) + " items drawn";
    }
    if (!stats.budgetApplied) {
        return {};
    }
    const std::string coarsened =
        "Coarsened to fit a budget of " + GroupedNumber(stats.budget) + ": ";
    if (stats.itemsCoarsest == 0) {
        return coarsened + "every curve and surface sampled coarser";
    }
    return coarsened + GroupedNumber(stats.itemsCoarsest) + " of " + GroupedNumber(stats.items) +
           " items at their coarsest";
}

void RecordSceneList(const SceneGeometry& geometry) {
    const auto& polygons = geometry.polygons;
    glNewList(SCENE_LIST, GL_COMPILE);
    RecordArrays(GL_TRIANGLES, 3, GL_DOUBLE, polygons.vertices.data(), polygons.normals.data(),
                 polygons.vertices.size() / 3);
    if (const auto& normal = geometry.lastPolygonNormal) {
        // The normal the polygons leave current, as if each had been drawn on its own.
        glNormal3d((*normal)[0], (*normal)[1], (*normal)[2]);
    }
    if (geometry.anyCurve) {
        glNormal3d(mesh::kCurveNormal[0], mesh::kCurveNormal[1], mesh::kCurveNormal[2]);
        RecordTessellation(geometry.curves, GL_LINES, false);
    }
    RecordTessellation(geometry.patches, GL_TRIANGLES, true);
    glEndList();
}

SceneListStats CompileSceneList(SceneHeads heads, const SamplingView& view,
                                CompileProgress* progress, std::size_t budget, std::size_t room) {
    SceneListStats stats;
    {
        // GLU tessellates before the list opens; the list then holds plain geometry only.
        const SceneGeometry geometry = TessellateScene(heads, view, progress, budget, room);
        stats = geometry.stats;
        if (stats.notEnoughMemory) {
            // The driver would crash running out where a list cannot fail: ask it for nothing,
            // and let the earlier list go, which may be what holds the memory.
            glNewList(SCENE_LIST, GL_COMPILE);
            glEndList();
            return stats;
        }
        RecordSceneList(geometry);
    }
#ifdef __GLIBC__
    // The geometry gathered for a large scene is freed now, but glibc keeps the pages, and the
    // next Restart's compile, made while this list still lives, would place its own elsewhere:
    // resident memory would climb over the first Restarts. Give them back.
    if (stats.vertices > kTrimAfterVertices) {
        malloc_trim(0);
    }
#endif
    return stats;
}

}  // namespace kavelo::render
