#include "render/scene_compiler.h"

#include <GL/gl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "render/nurbs_tessellation.h"

namespace kavelo::render {

using kavelo::scene::CountItems;
using kavelo::scene::ForEachItem;

namespace {

constexpr int kCubicOrder = 4;
constexpr std::size_t kTrimAfterVertices = 100000;  // about 3 MB of gathered geometry
constexpr int kGridSide = 4;

// Nearest single-precision value, without the undefined conversion of finite doubles beyond the
// float range: those round to the largest float or to infinity as IEEE rounding would.
GLfloat NearestFloat(double value) {
    constexpr double kRoundsToInfinity = 0x1.ffffffp127;  // FLT_MAX plus half its last place
    const double magnitude = std::fabs(value);
    if (magnitude > FLT_MAX && std::isfinite(value)) {
        const GLfloat limit =
            magnitude >= kRoundsToInfinity ? std::numeric_limits<GLfloat>::infinity() : FLT_MAX;
        return value < 0 ? -limit : limit;
    }
    return static_cast<GLfloat>(value);
}

void PutPoint(const Point4& point, GLfloat* out) {
    out[0] = NearestFloat(point.x);
    out[1] = NearestFloat(point.y);
    out[2] = NearestFloat(point.z);
    out[3] = NearestFloat(point.w);
}

// Polygons as triangles of their vertices, in double precision as read: a polygon of four
// vertices becomes the two triangles OpenGL cuts it into, corners in the order it takes them, with
// the polygon's normal at each corner. Fewer than three vertices draw nothing, as they would on
// their own. One draw for all of them: Mesa keeps about 12 bytes of every glBegin/glEnd pair of a
// display list when the list is compiled again, so a list of polygons drawn one by one grew at
// every Restart.
struct PolygonBatch {
    std::vector<GLdouble> vertices;
    std::vector<GLdouble> normals;
};

void AddPolygon(const PolygonNode& polygon, PolygonBatch& batch) {
    const int vertices = std::min<int>(polygon.count, 4);
    auto corner = [&](int i) {
        const Point4& v = polygon.vertices[i];
        batch.vertices.insert(batch.vertices.end(), {v.x, v.y, v.z});
        batch.normals.insert(batch.normals.end(),
                             {polygon.normal.x, polygon.normal.y, polygon.normal.z});
    };
    for (int i = 2; i < vertices; ++i) {
        corner(i - 1);
        corner(i);
        corner(0);
    }
}

}  // namespace

// One point per degree of freedom: a curve of fewer than four points is drawn at the order its
// points give, so that no unread point takes part.
int CurveControl(const CurveNode& curve, GLfloat* control) {
    const int order = std::min<int>(curve.count, kCubicOrder);
    for (int i = 0; i < order; ++i) {
        PutPoint(curve.points[i], control + 4 * i);
    }
    return order;
}

// The rows of the grid (s index) that the item holds completely.
int SurfaceControl(const SurfaceNode& surface, GLfloat* control) {
    const int rows = surface.count >= kGridSide * kGridSide ? kGridSide : surface.count / kGridSide;
    for (int i = 0; i < rows * kGridSide; ++i) {
        PutPoint(surface.points[i], control + 4 * i);
    }
    return rows;
}

std::string GroupedCount(std::size_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, 1, ',');
    }
    return digits;
}

PacedProgress::PacedProgress(std::function<void(const std::string&)> show,
                             std::chrono::milliseconds firstAfter)
    : m_show(std::move(show)), m_next(std::chrono::steady_clock::now() + firstAfter) {}

bool PacedProgress::Due() {
    const auto now = std::chrono::steady_clock::now();
    if (now < m_next) {
        return false;
    }
    m_next = now + std::chrono::milliseconds(250);
    return true;
}

void PacedProgress::Reading(std::string_view fileName, std::size_t done, std::size_t total) {
    if (!Due()) {
        return;
    }
    const std::size_t percent = total == 0 ? 100 : done * 100 / total;
    m_show("Reading " + std::string(fileName) + ": " + std::to_string(percent) + "%");
    m_bShown = true;
}

void PacedProgress::Tessellating(const char* kind, std::size_t done, std::size_t total) {
    if (!Due()) {
        return;
    }
    m_show(std::string("Tessellating ") + kind + ": " + GroupedCount(done) + " of " +
           GroupedCount(total));
    m_bShown = true;
}

bool CompileMayTakeLong(const CurveNode* curves, const SurfaceNode* surfaces) {
    constexpr std::size_t kManyItems = 2000;  // about half a second of compile
    return CountItems(curves) + CountItems(surfaces) >= kManyItems;
}

std::string CompileDiagnostic(const SceneListStats& stats) {
    const std::string drawn =
        GroupedCount(stats.itemsDrawn) + " of " + GroupedCount(stats.items) + " items drawn";
    if (stats.outOfMemory) {
        return "Out of memory while tessellating: " + drawn;
    }
    // Even the coarsest grid, two segments a curve and two triangles a patch, can exceed the
    // budget: say what was left out.
    if (stats.budgetApplied && stats.itemsDrawn < stats.items) {
        return "More items than the budget of " + GroupedCount(kPrimitiveBudget) +
               " triangles and segments: " + drawn;
    }
    return {};
}

namespace {

constexpr std::size_t kProgressEvery = 32;  // items between two reports

// The polygons' triangles; false when memory ran out, with the polygons done so far.
bool GatherPolygons(const PolygonNode* polygons, PolygonBatch& batch, SceneListStats& stats,
                    const PolygonNode*& last) {
    bool gathered = true;
    ForEachItem(polygons, [&](const PolygonNode& p) {
        ++stats.items;
        if (!gathered) {
            return;
        }
        const std::size_t vertices = batch.vertices.size();
        const std::size_t normals = batch.normals.size();
        try {
            AddPolygon(p, batch);
            last = &p;
            ++stats.itemsDrawn;
        } catch (const std::bad_alloc&) {
            batch.vertices.resize(vertices);
            batch.normals.resize(normals);
            gathered = false;
        }
    });
    stats.outOfMemory = !gathered;
    return gathered;
}

// Curves and surfaces as GLU takes them.
struct CurveItem {
    GLfloat control[kCubicOrder * 4];
    int order;
    explicit CurveItem(const CurveNode& curve) : order(CurveControl(curve, control)) {}
    bool Drawn() const { return order >= 2; }
};

struct PatchItem {
    GLfloat control[kGridSide * kGridSide * 4];
    int rows;
    explicit PatchItem(const SurfaceNode& surface) : rows(SurfaceControl(surface, control)) {}
    bool Drawn() const { return rows >= 2; }
};

// Makes every curve and surface coarser in one proportion when GLU's estimate for the whole scene
// exceeds the budget; the polygons are drawn as they are.
void ApplyBudget(const CurveNode* curves, const SurfaceNode* surfaces, std::size_t budget,
                 Tessellator& tessellator, SceneListStats& stats, std::size_t polygonTriangles) {
    double estimate = 0.0;
    ForEachItem(curves, [&](const CurveNode& curve) {
        const CurveItem item(curve);
        estimate += item.Drawn() ? tessellator.CurveEstimate(item.control, item.order) : 0.0;
    });
    ForEachItem(surfaces, [&](const SurfaceNode& surface) {
        const PatchItem item(surface);
        estimate += item.Drawn() ? tessellator.PatchEstimate(item.control, item.rows) : 0.0;
    });
    const std::size_t left = budget > polygonTriangles ? budget - polygonTriangles : 0;
    tessellator.LimitPrimitives(left);
    if (polygonTriangles + estimate > static_cast<double>(budget)) {
        stats.budgetApplied = true;
        tessellator.Coarsen(estimate > 0.0 ? static_cast<double>(left) / estimate : 0.0);
    }
}

// Tessellates each item of `head` with `draw`, reporting progress as `kind`, while memory
// lasts; false when it ran out. `draw` gives 1 for an item drawn, 0 for one the budget left out,
// -1 when memory ran out. Every item counts in `stats.items`.
template <class Item, class Node, class Draw>
bool TessellateAll(const Node* head, const char* kind, CompileProgress* progress, bool go,
                   SceneListStats& stats, Draw&& draw) {
    const std::size_t total = CountItems(head);
    stats.items += total;
    std::size_t done = 0;
    ForEachItem(head, [&](const Node& node) {
        if (!go) {
            return;
        }
        const Item item(node);
        const int drawn = item.Drawn() ? draw(item) : 1;
        go = drawn >= 0;
        stats.itemsDrawn += drawn > 0 ? 1 : 0;
        if (progress != nullptr && (++done % kProgressEvery == 0 || done == total)) {
            progress->Tessellating(kind, done, total);
        }
    });
    return go;
}

int Outcome(const Tessellator& tessellator, std::size_t added) {
    return tessellator.OutOfMemory() ? -1 : added > 0 ? 1 : 0;
}

SceneListStats CompileList(const PolygonNode* polygons, const CurveNode* curves,
                           const SurfaceNode* surfaces, CompileProgress* progress,
                           std::size_t budget) {
    // GLU tessellates under the matrices and viewport of the moment, before the list opens; the
    // list then holds plain geometry only.
    SceneListStats stats;
    PolygonBatch polygonBatch;
    const PolygonNode* lastPolygon = nullptr;
    bool enoughMemory = GatherPolygons(polygons, polygonBatch, stats, lastPolygon);
    const std::size_t polygonTriangles = polygonBatch.vertices.size() / 9;
    Tessellator tessellator;
    ApplyBudget(curves, surfaces, budget, tessellator, stats, polygonTriangles);
    Tessellation lines;
    Tessellation patches;
    bool anyCurve = false;
    enoughMemory &= TessellateAll<CurveItem>(
        curves, "curves", progress, enoughMemory, stats, [&](const CurveItem& item) {
            anyCurve = true;
            const std::size_t added = tessellator.Curve(item.control, item.order, lines);
            return Outcome(tessellator, added);
        });
    enoughMemory &= TessellateAll<PatchItem>(
        surfaces, "surfaces", progress, enoughMemory, stats, [&](const PatchItem& item) {
            const std::size_t added = tessellator.Patch(item.control, item.rows, patches);
            return Outcome(tessellator, added);
        });
    stats.outOfMemory = !enoughMemory;

    glNewList(SCENE_LIST, GL_COMPILE);
    RecordArrays(GL_TRIANGLES, 3, GL_DOUBLE, polygonBatch.vertices.data(),
                 polygonBatch.normals.data(), polygonBatch.vertices.size() / 3);
    if (lastPolygon != nullptr) {
        // The normal the polygons leave current, as if each had been drawn on its own.
        glNormal3d(lastPolygon->normal.x, lastPolygon->normal.y, lastPolygon->normal.z);
    }
    if (anyCurve) {
        // Every curve is lit with this one normal: GLU makes none for curves.
        glNormal3d(-1.0, -1.0, -1.0);
        RecordTessellation(lines, GL_LINES, false);
    }
    RecordTessellation(patches, GL_TRIANGLES, true);
    glEndList();

    stats.vertices = polygonBatch.vertices.size() / 3 + lines.VertexCount() + patches.VertexCount();
    stats.triangles = polygonTriangles + patches.triangles;
    return stats;
}

}  // namespace

SceneListStats CompileSceneList(const PolygonNode* polygons, const CurveNode* curves,
                                const SurfaceNode* surfaces, CompileProgress* progress,
                                std::size_t budget) {
    const SceneListStats stats = CompileList(polygons, curves, surfaces, progress, budget);
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
