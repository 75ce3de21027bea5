#include "render/scene_tessellation.h"

#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "render/nurbs_tessellation.h"

namespace kavelo::render {

using kavelo::mesh::PolygonTriangles;
using kavelo::scene::CountItems;
using kavelo::scene::ForEachItem;
using kavelo::scene::SceneHeads;

namespace {

constexpr int kCubicOrder = 4;
constexpr int kGridSide = 4;
constexpr std::size_t kProgressEvery = 32;  // items between two reports

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

// Triangles OpenGL cuts a polygon of these vertices into; fewer than three draw nothing.
std::size_t PolygonTriangleCount(const PolygonNode& polygon) {
    const int vertices = std::min<int>(polygon.count, 4);
    return vertices > 2 ? static_cast<std::size_t>(vertices - 2) : 0;
}

// A polygon of four vertices becomes the two triangles OpenGL cuts it into, corners in the order
// it takes them, with the polygon's normal at each corner. One draw for all of them: Mesa keeps
// about 12 bytes of every glBegin/glEnd pair of a display list when the list is compiled again, so
// a list of polygons drawn one by one grew at every Restart.
void AddPolygon(const PolygonNode& polygon, PolygonTriangles& batch) {
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

// Room for `count` more elements when memory allows; without it the vector grows as it goes.
template <class T>
void ReserveIfPossible(std::vector<T>& v, double count) {
    try {
        v.reserve(v.size() + static_cast<std::size_t>(std::min(count, 1e12)));
    } catch (const std::exception&) {  // too large, or no memory: grow on the way instead
    }
}

// The polygons' triangles, as many as the budget holds: polygons cannot be sampled coarser, so
// once the next one does not fit, it and those after it are left out and counted, as curves and
// surfaces are. False when memory ran out, with the polygons done so far.
bool GatherPolygons(const PolygonNode* polygons, std::size_t budget, SceneGeometry& geometry) {
    std::size_t triangles = 0;
    ForEachItem(polygons, [&](const PolygonNode& p) { triangles += PolygonTriangleCount(p); });
    PolygonTriangles& batch = geometry.polygons;
    const double room = static_cast<double>(std::min(triangles, budget));
    ReserveIfPossible(batch.vertices, 9.0 * room);
    ReserveIfPossible(batch.normals, 9.0 * room);
    SceneListStats& stats = geometry.stats;
    stats.budgetApplied = triangles > budget;
    bool gathered = true;
    bool fits = true;
    ForEachItem(polygons, [&](const PolygonNode& p) {
        ++stats.items;
        fits = fits && batch.Triangles() + PolygonTriangleCount(p) <= budget;
        if (!gathered || !fits) {
            return;
        }
        const std::size_t vertices = batch.vertices.size();
        const std::size_t normals = batch.normals.size();
        try {
            AddPolygon(p, batch);
            geometry.lastPolygonNormal = {p.normal.x, p.normal.y, p.normal.z};
            ++stats.itemsDrawn;
        } catch (const std::bad_alloc&) {
            batch.vertices.resize(vertices);
            batch.normals.resize(normals);
            gathered = false;
        }
    });
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

// Each item's steps, estimated once: the budget sums them, the tessellation samples by them.
struct Estimates {
    std::vector<double> curveSteps;  // one per curve
    std::vector<double> patchSteps;  // s and t of each surface
    double curveSegments = 0.0;      // in all, by the estimates
    double patchTriangles = 0.0;
};

void Estimate(SceneHeads heads, const Tessellator& tessellator, Estimates& e) {
    e.curveSteps.reserve(CountItems(heads.curves));
    e.patchSteps.reserve(2 * CountItems(heads.surfaces));
    ForEachItem(heads.curves, [&](const CurveNode& curve) {
        const CurveItem item(curve);
        const double steps = item.Drawn() ? tessellator.CurveSteps(item.control, item.order) : 0.0;
        e.curveSteps.push_back(steps);
        e.curveSegments += item.Drawn() ? Tessellator::CurveEstimate(steps) : 0.0;
    });
    ForEachItem(heads.surfaces, [&](const SurfaceNode& surface) {
        const PatchItem item(surface);
        double s = 0.0;
        double t = 0.0;
        if (item.Drawn()) {
            tessellator.PatchSteps(item.control, item.rows, s, t);
            e.patchTriangles += Tessellator::PatchEstimate(s, t);
        }
        e.patchSteps.insert(e.patchSteps.end(), {s, t});
    });
}

// Makes every curve and surface coarser in one proportion when the estimate for the whole scene
// exceeds the budget; the polygons are drawn as they are. Reserves what the estimates say the
// curves and surfaces will add, within the budget.
void ApplyBudget(const Estimates& e, std::size_t budget, Tessellator& tessellator,
                 SceneGeometry& geometry) {
    const std::size_t polygonTriangles = geometry.polygons.Triangles();
    const double estimate = e.curveSegments + e.patchTriangles;
    const std::size_t left = budget > polygonTriangles ? budget - polygonTriangles : 0;
    tessellator.LimitPrimitives(left);
    double share = 1.0;
    if (static_cast<double>(polygonTriangles) + estimate > static_cast<double>(budget)) {
        geometry.stats.budgetApplied = true;  // with the polygons' share taken first
        share = estimate > 0.0 ? static_cast<double>(left) / estimate : 0.0;
        tessellator.Coarsen(share);
    }
    const double room = static_cast<double>(left);
    const double segments = std::min(e.curveSegments * std::min(share, 1.0), room);
    const double triangles = std::min(e.patchTriangles * std::min(share, 1.0), room);
    ReserveIfPossible(geometry.curves.vertices, 2 * 4 * segments);
    ReserveIfPossible(geometry.patches.vertices, 3 * 4 * triangles);
    ReserveIfPossible(geometry.patches.normals, 3 * 3 * triangles);
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
        if (!go || (progress != nullptr && progress->Stopped())) {
            return;  // the items after are counted, not drawn
        }
        const Item item(node);
        const int drawn = item.Drawn() ? draw(item, done) : 1;  // `done` is the item's index
        go = drawn >= 0;
        stats.itemsDrawn += drawn > 0 ? 1 : 0;
        ++done;
        if (progress != nullptr && (done % kProgressEvery == 0 || done == total)) {
            progress->Tessellating(kind, done, total);
        }
    });
    return go;
}

int Outcome(const Tessellator& tessellator, std::size_t added) {
    return tessellator.OutOfMemory() ? -1 : added > 0 ? 1 : 0;
}

// The curves and surfaces, by their estimates; false when memory ran out.
bool TessellateNurbs(SceneHeads heads, const Estimates& e, CompileProgress* progress, bool go,
                     Tessellator& tessellator, SceneGeometry& geometry) {
    go &= TessellateAll<CurveItem>(heads.curves, "curves", progress, go, geometry.stats,
                                   [&](const CurveItem& item, std::size_t i) {
                                       geometry.anyCurve = true;
                                       const std::size_t start = geometry.curves.VertexCount();
                                       const std::size_t added =
                                           tessellator.Curve(item.control, item.order,
                                                             e.curveSteps[i], geometry.curves);
                                       if (added > 0) {
                                           geometry.curveStarts.push_back(start);
                                       }
                                       return Outcome(tessellator, added);
                                   });
    go &= TessellateAll<PatchItem>(heads.surfaces, "surfaces", progress, go, geometry.stats,
                                   [&](const PatchItem& item, std::size_t i) {
                                       const std::size_t added = tessellator.Patch(
                                           item.control, item.rows, e.patchSteps[2 * i],
                                           e.patchSteps[2 * i + 1], geometry.patches);
                                       return Outcome(tessellator, added);
                                   });
    return go;
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

SceneGeometry TessellateScene(SceneHeads heads, const SamplingView& view, CompileProgress* progress,
                              std::size_t budget) {
    SceneGeometry geometry;
    bool enoughMemory = GatherPolygons(heads.polygons, budget, geometry);
    Tessellator tessellator(view);
    Estimates estimates;
    try {
        Estimate(heads, tessellator, estimates);
        geometry.curveStarts.reserve(estimates.curveSteps.size());  // never grows on the way
    } catch (const std::bad_alloc&) {
        enoughMemory = false;  // not even the estimates fit: no curve or surface is drawn
    }
    if (enoughMemory) {
        ApplyBudget(estimates, budget, tessellator, geometry);
    }
    enoughMemory = TessellateNurbs(heads, estimates, progress, enoughMemory, tessellator, geometry);
    SceneListStats& stats = geometry.stats;
    stats.outOfMemory = !enoughMemory;
    stats.vertices = geometry.polygons.vertices.size() / 3 + geometry.curves.VertexCount() +
                     geometry.patches.VertexCount();
    stats.triangles = geometry.polygons.Triangles() + geometry.patches.triangles;
    return geometry;
}

}  // namespace kavelo::render
