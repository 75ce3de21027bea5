// The baseline of the benchmarks: the scene list as it was compiled before GLU's tessellation was
// recorded as plain geometry. GLU draws each curve and surface through OpenGL into the list.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "render/scene_compiler.h"
#include "scene/scene.h"

namespace kavelo::bench {

constexpr int kEvalCubicOrder = 4;
constexpr int kEvalGridSide = 4;
constexpr GLfloat kEvalSurfaceTolerance = 100.0f;  // longest tessellated edge, in pixels

// Nearest single-precision value, without the undefined conversion of finite doubles beyond the
// float range: those round to the largest float or to infinity as IEEE rounding would.
inline GLfloat EvalNearestFloat(double value) {
    constexpr double kRoundsToInfinity = 0x1.ffffffp127;  // FLT_MAX plus half its last place
    const double magnitude = std::fabs(value);
    if (magnitude > FLT_MAX && std::isfinite(value)) {
        const GLfloat limit =
            magnitude >= kRoundsToInfinity ? std::numeric_limits<GLfloat>::infinity() : FLT_MAX;
        return value < 0 ? -limit : limit;
    }
    return static_cast<GLfloat>(value);
}

inline void EvalPutPoint(const Point4& point, GLfloat* out) {
    out[0] = EvalNearestFloat(point.x);
    out[1] = EvalNearestFloat(point.y);
    out[2] = EvalNearestFloat(point.z);
    out[3] = EvalNearestFloat(point.w);
}

// The knot vector of one Bezier segment of `order`: that many zeros, then that many ones.
inline void EvalBezierKnots(int order, GLfloat* knots) {
    std::fill(knots, knots + order, 0.0f);
    std::fill(knots + order, knots + 2 * order, 1.0f);
}

inline void EvalCompilePolygon(const PolygonNode& polygon) {
    const int vertices = std::min<int>(polygon.count, 4);
    glBegin(GL_POLYGON);
    glNormal3d(polygon.normal.x, polygon.normal.y, polygon.normal.z);
    for (int i = 0; i < vertices; ++i) {
        const Point4& v = polygon.vertices[i];
        glVertex3d(v.x, v.y, v.z);
    }
    glEnd();
}

inline void EvalCompileCurve(const CurveNode& curve) {
    // One point per degree of freedom: a curve of fewer than four points is drawn at the order
    // its points give, so that no unread point takes part.
    const int order = std::min<int>(curve.count, kEvalCubicOrder);
    if (order < 2) {
        return;
    }
    GLfloat control[kEvalCubicOrder * 4];
    for (int i = 0; i < order; ++i) {
        EvalPutPoint(curve.points[i], control + 4 * i);
    }
    GLfloat knots[2 * kEvalCubicOrder];
    EvalBezierKnots(order, knots);

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

inline void EvalCompileSurface(const SurfaceNode& surface) {
    // Rows of the grid (s index) that the item holds completely.
    const int rows = surface.count >= kEvalGridSide * kEvalGridSide ? kEvalGridSide
                                                                    : surface.count / kEvalGridSide;
    if (rows < 2) {
        return;
    }
    GLUnurbs* renderer = gluNewNurbsRenderer();
    if (renderer == nullptr) {
        return;
    }
    gluNurbsProperty(renderer, GLU_SAMPLING_TOLERANCE, kEvalSurfaceTolerance);
    gluNurbsProperty(renderer, GLU_DISPLAY_MODE, static_cast<GLfloat>(GLU_FILL));

    GLfloat control[kEvalGridSide * kEvalGridSide * 4];
    for (int i = 0; i < rows * kEvalGridSide; ++i) {
        EvalPutPoint(surface.points[i], control + 4 * i);
    }
    GLfloat sKnots[2 * kEvalCubicOrder];
    EvalBezierKnots(rows, sKnots);
    GLfloat tKnots[2 * kEvalCubicOrder];
    EvalBezierKnots(kEvalCubicOrder, tKnots);

    gluBeginSurface(renderer);
    gluNurbsSurface(renderer, 2 * rows, sKnots, 2 * kEvalCubicOrder, tKnots, kEvalGridSide * 4, 4,
                    control, rows, kEvalCubicOrder, GL_MAP2_VERTEX_4);
    gluEndSurface(renderer);
    gluDeleteNurbsRenderer(renderer);
}

// The list as GLU records it when it draws through OpenGL: evaluator maps that the driver evaluates
// again at every replay.
inline void CompileEvaluatorList(const PolygonNode* polygons, const CurveNode* curves,
                                 const SurfaceNode* surfaces) {
    glNewList(SCENE_LIST, GL_COMPILE);
    kavelo::scene::ForEachItem(polygons, EvalCompilePolygon);
    kavelo::scene::ForEachItem(curves, EvalCompileCurve);
    kavelo::scene::ForEachItem(surfaces, EvalCompileSurface);
    glEndList();
}

}  // namespace kavelo::bench
