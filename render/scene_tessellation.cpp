#include "render/scene_tessellation.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
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
// GLU rounds its steps up and closes a patch's edges with fans: it gives a few percent more than
// the estimates (6% on the teapot). Without this room the arrays would double near the end of a
// compile, copying all they held and faulting in twice their size; pages reserved but never
// written take no memory.
constexpr double kReserveMargin = 1.25;

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

// The polygons' triangles, every one: a polygon has no coarser form, so they take the budget
// first; `triangles` of them. False when memory ran out, with the polygons done so far.
bool GatherPolygons(const PolygonNode* polygons, std::size_t triangles, SceneGeometry& geometry) {
    PolygonTriangles& batch = geometry.polygons;
    ReserveIfPossible(batch.vertices, 9.0 * static_cast<double>(triangles));
    ReserveIfPossible(batch.normals, 9.0 * static_cast<double>(triangles));
    SceneListStats& stats = geometry.stats;
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
    std::size_t curves = 0;  // counted once: a walk over a large scene's records costs a page each
    std::size_t surfaces = 0;
    std::vector<double> curveSteps;  // one per curve
    std::vector<double> patchSteps;  // s and t of each surface
    double curveSegments = 0.0;      // in all, by the estimates
    double patchTriangles = 0.0;
};

// A stop asked meanwhile leaves the rest unestimated: the sampling after draws nothing.
void Estimate(SceneHeads heads, const Tessellator& tessellator, CompileProgress* progress,
              Estimates& e) {
    e.curveSteps.reserve(e.curves);
    e.patchSteps.reserve(2 * e.surfaces);
    std::size_t seen = 0;
    // A million curves take seconds to estimate: a window stays live and Esc is heard meanwhile.
    const auto going = [&] {
        if (progress != nullptr && ++seen % kProgressEvery == 0) {
            progress->Working();
        }
        return progress == nullptr || !progress->Stopped();
    };
    ForEachItem(heads.curves, [&](const CurveNode& curve) {
        if (!going()) {
            return;
        }
        const CurveItem item(curve);
        const double steps = item.Drawn() ? tessellator.CurveSteps(item.control, item.order) : 0.0;
        e.curveSteps.push_back(steps);
        e.curveSegments += item.Drawn() ? Tessellator::CurveEstimate(steps) : 0.0;
    });
    ForEachItem(heads.surfaces, [&](const SurfaceNode& surface) {
        if (!going()) {
            return;
        }
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

// Triangles and segments of an item at its coarsest: a curve's chord, a patch's two triangles.
constexpr std::size_t kCoarsestCurve = 1;
constexpr std::size_t kCoarsestPatch = 2;

// The budget as the items spend it, in list order: each may take what the items after it, at
// their coarsest, leave over, so that every one of them is drawn.
struct Spending {
    std::size_t budget = 0;
    std::size_t spent = 0;    // by the polygons and the items done
    std::size_t reserve = 0;  // the items to come, at their coarsest
    bool past = false;        // spent: every item from here on is drawn at its coarsest

    std::size_t Allowed(std::size_t own) const { return budget - spent - (reserve - own); }
    void Took(std::size_t primitives, std::size_t own) {
        spent += primitives;
        reserve -= own;
    }
};

// Makes every curve and surface coarser in one proportion when the estimate for the whole scene
// exceeds the budget; the polygons are drawn as they are. Reserves what the estimates say the
// curves and surfaces will add, within the budget.
void ApplyBudget(const Estimates& e, std::size_t budget, Tessellator& tessellator,
                 SceneGeometry& geometry) {
    const std::size_t polygonTriangles = geometry.polygons.Triangles();
    const double estimate = e.curveSegments + e.patchTriangles;
    const std::size_t left = budget > polygonTriangles ? budget - polygonTriangles : 0;
    double share = 1.0;
    if (static_cast<double>(polygonTriangles) + estimate > static_cast<double>(budget)) {
        geometry.stats.budgetApplied = true;  // with the polygons' share taken first
        share = estimate > 0.0 ? static_cast<double>(left) / estimate : 0.0;
        tessellator.Coarsen(share);
    }
    const double room = static_cast<double>(left);
    const double scale = std::min(share, 1.0) * kReserveMargin;
    const double segments = std::min(e.curveSegments * scale, room);
    const double triangles = std::min(e.patchTriangles * scale, room);
    ReserveIfPossible(geometry.curves.vertices, 2 * 4 * segments);
    ReserveIfPossible(geometry.patches.vertices, 3 * 4 * triangles);
    ReserveIfPossible(geometry.patches.normals, 3 * 3 * triangles);
}

// A curve's chord: the segment between its end points, divided through by their weights where
// that gives a point.
void AddChord(const CurveItem& item, Tessellation& out) {
    for (const GLfloat* p : {item.control, item.control + 4 * (item.order - 1)}) {
        const GLfloat w = p[3];
        const GLfloat q[4] = {p[0] / w, p[1] / w, p[2] / w, 1.0f};
        const bool divides =
            w != 0.0f && std::isfinite(q[0]) && std::isfinite(q[1]) && std::isfinite(q[2]);
        out.vertices.insert(out.vertices.end(), divides ? q : p, (divides ? q : p) + 4);
    }
}

// The normal a patch's evaluator gives at corner (i, j) of its control net: the cross product of
// the net's edges along s and along t there, each between points divided through by their
// weights; zero where an edge collapses, as the evaluator's is.
std::array<GLfloat, 3> CornerNormal(const PatchItem& item, int i, int j) {
    auto at = [&](int r, int c, int k) {
        const GLfloat* p = item.control + 4 * (kGridSide * r + c);
        return static_cast<double>(p[k]) / static_cast<double>(p[3]);
    };
    const int r0 = i == 0 ? 0 : i - 1;
    const int c0 = j == 0 ? 0 : j - 1;
    double ds[3];
    double dt[3];
    for (int k = 0; k < 3; ++k) {
        ds[k] = at(r0 + 1, j, k) - at(r0, j, k);
        dt[k] = at(i, c0 + 1, k) - at(i, c0, k);
    }
    const double n[3] = {ds[1] * dt[2] - ds[2] * dt[1], ds[2] * dt[0] - ds[0] * dt[2],
                         ds[0] * dt[1] - ds[1] * dt[0]};
    if (!std::isfinite(n[0]) || !std::isfinite(n[1]) || !std::isfinite(n[2])) {
        return {0.0f, 0.0f, 0.0f};
    }
    return {NearestFloat(n[0]), NearestFloat(n[1]), NearestFloat(n[2])};
}

// A patch's two triangles over its four corners, split along the diagonal from the corner of
// lowest s and t to the highest, as the evaluator's mesh is; each corner keeps its weight.
void AddCorners(const PatchItem& item, Tessellation& out) {
    const int last = item.rows - 1;
    const int corners[6][2] = {{0, 0}, {0, 3}, {last, 3}, {0, 0}, {last, 3}, {last, 0}};
    for (const auto& [i, j] : corners) {
        const GLfloat* p = item.control + 4 * (kGridSide * i + j);
        out.vertices.insert(out.vertices.end(), p, p + 4);
        const std::array<GLfloat, 3> n = CornerNormal(item, i, j);
        out.normals.insert(out.normals.end(), n.begin(), n.end());
    }
    out.triangles += 2;
}

// One item as GLU samples it within what the budget allows, or at its coarsest (`coarsest`)
// past the budget or where GLU gives nothing; 1 when drawn, -1 when memory ran out.
template <class Item, class Sample, class Coarsest>
int DrawWithin(const Item& item, std::size_t own, std::size_t perItem, Tessellator& tessellator,
               Spending& budget, SceneListStats& stats, Sample&& sample, Coarsest&& coarsest) {
    std::size_t primitives = 0;
    if (!budget.past) {
        const std::size_t allowed = budget.Allowed(own);
        tessellator.LimitPrimitives(allowed);
        primitives = sample(item);
        if (tessellator.OutOfMemory()) {
            return -1;
        }
        // Not even its coarsest grid fitted what was left: the budget is spent.
        budget.past = primitives == 0 && allowed < perItem;
    }
    if (primitives == 0) {
        try {
            coarsest(item);
        } catch (const std::bad_alloc&) {
            return -1;
        }
        ++stats.itemsCoarsest;
        stats.budgetApplied = stats.budgetApplied || budget.past;
        primitives = own;
    }
    budget.Took(primitives, own);
    return 1;
}

// Tessellates each item of `head` with `draw`, reporting progress as `kind`, while memory
// lasts; false when it ran out. `draw` gives 1 for an item drawn, -1 when memory ran out. Every
// item counts in `stats.items`.
template <class Item, class Node, class Draw>
bool TessellateAll(const Node* head, std::size_t total, const char* kind, CompileProgress* progress,
                   bool go, SceneListStats& stats, Draw&& draw) {
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

// The curves and surfaces, by their estimates within the budget; false when memory ran out.
bool TessellateNurbs(SceneHeads heads, const Estimates& e, CompileProgress* progress, bool go,
                     Tessellator& tessellator, Spending& budget, SceneGeometry& geometry) {
    SceneListStats& stats = geometry.stats;
    Tessellation& curves = geometry.curves;
    Tessellation& patches = geometry.patches;
    go &= TessellateAll<CurveItem>(
        heads.curves, e.curves, "curves", progress, go, stats,
        [&](const CurveItem& item, std::size_t i) {
            geometry.anyCurve = true;
            const std::size_t start = curves.VertexCount();
            const int drawn = DrawWithin(
                item, kCoarsestCurve, kMaxCurveVertices / 2, tessellator, budget, stats,
                [&](const CurveItem& c) {
                    return tessellator.Curve(c.control, c.order, e.curveSteps[i], curves) / 2;
                },
                [&](const CurveItem& c) { AddChord(c, curves); });
            if (drawn > 0) {
                geometry.curveStarts.push_back(start);  // reserved: never throws
            }
            return drawn;
        });
    go &= TessellateAll<PatchItem>(
        heads.surfaces, e.surfaces, "surfaces", progress, go, stats,
        [&](const PatchItem& item, std::size_t i) {
            return DrawWithin(
                item, kCoarsestPatch, kMaxPatchVertices / 3, tessellator, budget, stats,
                [&](const PatchItem& p) {
                    const std::size_t before = patches.triangles;
                    tessellator.Patch(p.control, p.rows, e.patchSteps[2 * i],
                                      e.patchSteps[2 * i + 1], patches);
                    return patches.triangles - before;
                },
                [&](const PatchItem& p) { AddCorners(p, patches); });
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

std::size_t CoarsestPrimitives(SceneHeads heads) {
    std::size_t primitives = 0;
    ForEachItem(heads.polygons,
                [&](const PolygonNode& p) { primitives += PolygonTriangleCount(p); });
    ForEachItem(heads.curves, [&](const CurveNode& c) {
        primitives += CurveItem(c).Drawn() ? kCoarsestCurve : 0;
    });
    ForEachItem(heads.surfaces, [&](const SurfaceNode& s) {
        primitives += PatchItem(s).Drawn() ? kCoarsestPatch : 0;
    });
    return primitives;
}

SceneGeometry TessellateScene(SceneHeads heads, const SamplingView& view, CompileProgress* progress,
                              std::size_t budget, std::size_t room) {
    SceneGeometry geometry;
    SceneListStats& stats = geometry.stats;
    stats.budget = budget;
    // One walk of each list counts the scene at its coarsest, for the room and for the budget.
    const std::size_t polygonTriangles = CoarsestPrimitives({heads.polygons, nullptr, nullptr});
    Spending spending;
    spending.budget = budget;
    spending.reserve = CoarsestPrimitives({nullptr, heads.curves, heads.surfaces});
    if (polygonTriangles > room || spending.reserve > room - polygonTriangles) {
        stats.items =
            CountItems(heads.polygons) + CountItems(heads.curves) + CountItems(heads.surfaces);
        stats.notEnoughMemory = true;
        return geometry;
    }
    bool enoughMemory = GatherPolygons(heads.polygons, polygonTriangles, geometry);
    spending.spent = geometry.polygons.Triangles();
    // Even at their coarsest the items exceed it: no sampling is asked of GLU at all.
    spending.past = spending.reserve > budget || spending.spent > budget - spending.reserve;
    stats.budgetApplied = spending.past;
    Tessellator tessellator(view);
    Estimates estimates;
    estimates.curves = CountItems(heads.curves);
    estimates.surfaces = CountItems(heads.surfaces);
    try {
        geometry.curveStarts.reserve(estimates.curves);  // never grows on the way
        if (!spending.past) {
            Estimate(heads, tessellator, progress, estimates);
        }
    } catch (const std::bad_alloc&) {
        enoughMemory = false;  // not even the estimates fit: no curve or surface is drawn
    }
    if (enoughMemory && !spending.past) {
        ApplyBudget(estimates, budget, tessellator, geometry);
    }
    enoughMemory =
        TessellateNurbs(heads, estimates, progress, enoughMemory, tessellator, spending, geometry);
    stats.outOfMemory = !enoughMemory;
    stats.stopped = progress != nullptr && progress->Stopped();
    stats.vertices = geometry.polygons.vertices.size() / 3 + geometry.curves.VertexCount() +
                     geometry.patches.VertexCount();
    stats.triangles = geometry.polygons.Triangles() + geometry.patches.triangles;
    return geometry;
}

}  // namespace kavelo::render
