// Shared by the GL benchmarks: recording the tessellation GLU makes of curves and surfaces
// through its tessellator mode, to draw it again call by call.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "scene/scene.h"

namespace kavelo::bench {

struct Primitive {
    GLenum type = GL_POINTS;
    bool curve = false;
    std::vector<GLfloat> normals;  // one per vertex when GLU made normals
    std::vector<GLfloat> vertices;
};

struct Recorder {
    std::vector<Primitive> primitives;
    GLfloat normal[3] = {};
    bool hasNormal = false;
    bool curve = false;  // what the primitives recorded now belong to
};

namespace tessellation_recorder {

inline void GLAPIENTRY OnBegin(GLenum type, void* data) {
    auto* r = static_cast<Recorder*>(data);
    r->primitives.push_back({type, r->curve, {}, {}});
    r->hasNormal = false;
}
inline void GLAPIENTRY OnNormal(GLfloat* n, void* data) {
    auto* r = static_cast<Recorder*>(data);
    r->normal[0] = n[0];
    r->normal[1] = n[1];
    r->normal[2] = n[2];
    r->hasNormal = true;
}
inline void GLAPIENTRY OnVertex(GLfloat* v, void* data) {
    auto* r = static_cast<Recorder*>(data);
    Primitive& p = r->primitives.back();
    p.vertices.insert(p.vertices.end(), v, v + 3);
    if (r->hasNormal) {
        p.normals.insert(p.normals.end(), r->normal, r->normal + 3);
    }
}
inline void GLAPIENTRY OnEnd(void*) {}

}  // namespace tessellation_recorder

// A NURBS renderer in tessellator mode that records into `recorder`.
inline GLUnurbs* NewRecordingTessellator(Recorder& recorder) {
    using namespace tessellation_recorder;
    GLUnurbs* n = gluNewNurbsRenderer();
    gluNurbsProperty(n, GLU_NURBS_MODE, GLU_NURBS_TESSELLATOR);
    gluNurbsCallback(n, GLU_NURBS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(OnBegin));
    gluNurbsCallback(n, GLU_NURBS_NORMAL_DATA, reinterpret_cast<_GLUfuncptr>(OnNormal));
    gluNurbsCallback(n, GLU_NURBS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(OnVertex));
    gluNurbsCallback(n, GLU_NURBS_END_DATA, reinterpret_cast<_GLUfuncptr>(OnEnd));
    gluNurbsCallbackData(n, &recorder);
    return n;
}

// Control points as GLU takes them: x, y, z, w in single precision.
inline void ToFloats(const Point4* points, int n, GLfloat* out) {
    for (int i = 0; i < n; ++i) {
        out[4 * i] = static_cast<GLfloat>(points[i].x);
        out[4 * i + 1] = static_cast<GLfloat>(points[i].y);
        out[4 * i + 2] = static_cast<GLfloat>(points[i].z);
        out[4 * i + 3] = static_cast<GLfloat>(points[i].w);
    }
}

// Records the tessellation of one surface as the display list would sample it: tolerance 100,
// filled.
inline void RecordSurface(Recorder& recorder, const SurfaceNode& surface) {
    GLfloat knots[8] = {0, 0, 0, 0, 1, 1, 1, 1};
    GLfloat control[64];
    ToFloats(surface.points, 16, control);
    GLUnurbs* n = NewRecordingTessellator(recorder);
    gluNurbsProperty(n, GLU_SAMPLING_TOLERANCE, 100.0f);
    gluNurbsProperty(n, GLU_DISPLAY_MODE, GLU_FILL);
    gluBeginSurface(n);
    gluNurbsSurface(n, 8, knots, 8, knots, 16, 4, control, 4, 4, GL_MAP2_VERTEX_4);
    gluEndSurface(n);
    gluDeleteNurbsRenderer(n);
}

}  // namespace kavelo::bench
