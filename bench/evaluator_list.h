// The baseline of the benchmarks: the scene list as it was compiled before GLU's tessellation was
// recorded as plain geometry. GLU draws each curve and surface through OpenGL into the list, from
// the control points the scene compiler takes.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "render/nurbs_tessellation.h"
#include "render/scene_compiler.h"
#include "scene/scene.h"

namespace kavelo::bench {

constexpr int kEvalCubicOrder = 4;
constexpr int kEvalGridSide = 4;
constexpr GLfloat kEvalSurfaceTolerance = 100.0f;  // longest tessellated edge, in pixels

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
    GLfloat control[kEvalCubicOrder * 4];
    const int order = kavelo::render::CurveControl(curve, control);
    if (order < 2) {
        return;
    }
    GLfloat knots[2 * kEvalCubicOrder];
    kavelo::render::BezierKnots(order, knots);

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
    GLfloat control[kEvalGridSide * kEvalGridSide * 4];
    const int rows = kavelo::render::SurfaceControl(surface, control);
    if (rows < 2) {
        return;
    }
    GLUnurbs* renderer = gluNewNurbsRenderer();
    if (renderer == nullptr) {
        return;
    }
    gluNurbsProperty(renderer, GLU_SAMPLING_TOLERANCE, kEvalSurfaceTolerance);
    gluNurbsProperty(renderer, GLU_DISPLAY_MODE, static_cast<GLfloat>(GLU_FILL));

    GLfloat sKnots[2 * kEvalCubicOrder];
    kavelo::render::BezierKnots(rows, sKnots);
    GLfloat tKnots[2 * kEvalCubicOrder];
    kavelo::render::BezierKnots(kEvalCubicOrder, tKnots);

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
