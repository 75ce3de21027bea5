#include "render/scene_compiler.h"

#include <GL/gl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "render/nurbs_tessellation.h"

namespace kavelo::render {

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

namespace {

SceneListStats CompileList(const PolygonNode* polygons, const CurveNode* curves,
                           const SurfaceNode* surfaces) {
    // GLU tessellates under the matrices and viewport of the moment, before the list opens; the
    // list then holds plain geometry only.
    SceneListStats stats;
    PolygonBatch polygonBatch;
    const PolygonNode* lastPolygon = nullptr;
    ForEachItem(polygons, [&](const PolygonNode& p) {
        lastPolygon = &p;
        AddPolygon(p, polygonBatch);
    });
    stats.vertices += polygonBatch.vertices.size() / 3;
    stats.triangles += polygonBatch.vertices.size() / 9;
    Tessellation lines;
    bool anyCurve = false;
    ForEachItem(curves, [&](const CurveNode& curve) {
        GLfloat control[kCubicOrder * 4];
        const int order = CurveControl(curve, control);
        if (order >= 2) {
            anyCurve = true;
            TessellateCurve(control, order, lines);
        }
    });
    Tessellation patches;
    ForEachItem(surfaces, [&](const SurfaceNode& surface) {
        GLfloat control[kGridSide * kGridSide * 4];
        const int rows = SurfaceControl(surface, control);
        if (rows >= 2) {
            TessellatePatch(control, rows, patches);
        }
    });

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

    stats.vertices += lines.VertexCount() + patches.VertexCount();
    stats.triangles += patches.triangles;
    return stats;
}

}  // namespace

SceneListStats CompileSceneList(const PolygonNode* polygons, const CurveNode* curves,
                                const SurfaceNode* surfaces) {
    const SceneListStats stats = CompileList(polygons, curves, surfaces);
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
