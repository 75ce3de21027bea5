#include "render/scene_compiler.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace {

constexpr int kCubicOrder = 4;
constexpr int kGridSide = 4;
constexpr GLfloat kSurfaceTolerance = 100.0f;  // longest tessellated edge, in pixels

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

// The knot vector of one Bezier segment of `order`: that many zeros, then that many ones.
void BezierKnots(int order, GLfloat* knots) {
    std::fill(knots, knots + order, 0.0f);
    std::fill(knots + order, knots + 2 * order, 1.0f);
}

void CompilePolygon(const PolygonNode& polygon) {
    const int vertices = std::min<int>(polygon.count, 4);
    glBegin(GL_POLYGON);
    glNormal3d(polygon.normal.x, polygon.normal.y, polygon.normal.z);
    for (int i = 0; i < vertices; ++i) {
        const Point4& v = polygon.vertices[i];
        glVertex3d(v.x, v.y, v.z);
    }
    glEnd();
}

void CompileCurve(const CurveNode& curve) {
    // One point per degree of freedom: a curve of fewer than four points is drawn at the order
    // its points give, so that no unread point takes part.
    const int order = std::min<int>(curve.count, kCubicOrder);
    if (order < 2) {
        return;
    }
    GLfloat control[kCubicOrder * 4];
    for (int i = 0; i < order; ++i) {
        PutPoint(curve.points[i], control + 4 * i);
    }
    GLfloat knots[2 * kCubicOrder];
    BezierKnots(order, knots);

    GLUnurbs* renderer = gluNewNurbsRenderer();
    if (renderer == nullptr) {
        return;
    }
    gluBeginCurve(renderer);
    glNormal3d(-1.0, -1.0, -1.0);
    gluNurbsCurve(renderer, 2 * order, knots, 4, control, order, GL_MAP1_VERTEX_4);
    gluEndCurve(renderer);
    gluDeleteNurbsRenderer(renderer);
}

void CompileSurface(const SurfaceNode& surface) {
    // Rows of the grid (s index) that the item holds completely.
    const int rows = surface.count >= kGridSide * kGridSide ? kGridSide : surface.count / kGridSide;
    if (rows < 2) {
        return;
    }
    GLUnurbs* renderer = gluNewNurbsRenderer();
    if (renderer == nullptr) {
        return;
    }
    gluNurbsProperty(renderer, GLU_SAMPLING_TOLERANCE, kSurfaceTolerance);
    gluNurbsProperty(renderer, GLU_DISPLAY_MODE, static_cast<GLfloat>(GLU_FILL));

    GLfloat control[kGridSide * kGridSide * 4];
    for (int i = 0; i < rows * kGridSide; ++i) {
        PutPoint(surface.points[i], control + 4 * i);
    }
    GLfloat sKnots[2 * kCubicOrder];
    BezierKnots(rows, sKnots);
    GLfloat tKnots[2 * kCubicOrder];
    BezierKnots(kCubicOrder, tKnots);

    gluBeginSurface(renderer);
    gluNurbsSurface(renderer, 2 * rows, sKnots, 2 * kCubicOrder, tKnots, kGridSide * 4, 4, control,
                    rows, kCubicOrder, GL_MAP2_VERTEX_4);
    gluEndSurface(renderer);
    gluDeleteNurbsRenderer(renderer);
}

}  // namespace

void CompileSceneList(const PolygonNode* polygons, const CurveNode* curves,
                      const SurfaceNode* surfaces) {
    glNewList(SCENE_LIST, GL_COMPILE);
    ForEachItem(polygons, CompilePolygon);
    ForEachItem(curves, CompileCurve);
    ForEachItem(surfaces, CompileSurface);
    glEndList();
}
