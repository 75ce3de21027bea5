// Curves and surfaces tessellated once, through GLU's tessellator mode, into plain geometry that
// the scene list records in a few calls. The driver then only replays vertices; it never
// evaluates a NURBS map again.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

// Samples per side of a patch, and per curve, that no item exceeds whatever the matrices. Views
// of ordinary size stay far below them, so GLU's own sampling holds there; beyond them an item is
// sampled on a fixed grid of this size instead.
inline constexpr int kMaxPatchSamples = 64;
inline constexpr int kMaxCurveSamples = 1024;

// The most vertices one item may add: a grid of kMaxPatchSamples squared drawn as strips of
// rows split into triangles, and the samples of a curve with those of the pieces GLU cuts it into.
inline constexpr std::size_t kMaxPatchVertices = 7 * kMaxPatchSamples * kMaxPatchSamples;
inline constexpr std::size_t kMaxCurveVertices = 2 * kMaxCurveSamples;

// The tessellation of the items of one kind: triangles for surfaces (each quad GLU delivers split
// along the diagonal OpenGL's own evaluator mesh takes), line strips for curves. One draw of
// independent triangles, rather than many strips, is also what Mesa's feedback mode replays
// reliably from a display list.
struct Tessellation {
    int size = 4;                   // floats per vertex
    std::vector<GLfloat> vertices;  // x, y, z, w of each vertex
    std::vector<GLfloat> normals;   // x, y, z of each vertex; surfaces only
    std::vector<GLint> firsts;      // one strip each
    std::vector<GLsizei> counts;
    std::size_t triangles = 0;

    std::size_t VertexCount() const { return vertices.size() / size; }
};

// Appends the tessellation of one rational Bezier curve of `order` (2 to 4) given as `order`
// homogeneous points x, y, z, w; GLU's default sampling under the current matrices and viewport.
// Returns the number of vertices added.
std::size_t TessellateCurve(const GLfloat* control, int order, Tessellation& out);

// Appends the tessellation of one rational Bezier patch of `rows` (2 to 4) rows of 4 homogeneous
// points, row after row; GLU samples it with a tolerance of 100 pixels under the current matrices
// and viewport; each vertex keeps the weight of its point and gets GLU's normal. Returns the number
// of vertices added.
std::size_t TessellatePatch(const GLfloat* control, int rows, Tessellation& out);

// Records the strips into the list being compiled: one draw call for the whole kind. With
// `normals` false the current normal stays as it is.
void RecordTessellation(const Tessellation& t, GLenum mode, bool normals);
