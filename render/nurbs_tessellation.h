// Curves and surfaces tessellated once, through GLU's tessellator mode, into plain geometry that
// the scene list records in a few calls. The driver then only replays vertices; it never
// evaluates a NURBS map again.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

namespace kavelo::render {

// Samples per side of a patch, and per curve, that no item exceeds whatever the matrices. Views
// of ordinary size stay far below them, so GLU's own sampling holds there; beyond them an item is
// sampled on a fixed grid of this size instead.
inline constexpr int kMaxPatchSamples = 64;
inline constexpr int kMaxCurveSamples = 1024;

// The most vertices one item may add: a grid of kMaxPatchSamples squared split into triangles of
// three vertices each, with room for the fans GLU adds at the edges; two vertices to each segment
// of a curve, with room for the points where GLU cuts it into pieces.
inline constexpr std::size_t kMaxPatchVertices = 7 * kMaxPatchSamples * kMaxPatchSamples;
inline constexpr std::size_t kMaxCurveVertices = 4 * kMaxCurveSamples;

// The tessellation of the items of one kind: independent triangles for surfaces (each quad GLU
// delivers split along the diagonal OpenGL's own evaluator mesh takes), independent line
// segments for curves. One draw of one primitive per kind compiles fast, and it is what Mesa's
// feedback mode replays reliably from a display list; many strips in one list it does not.
struct Tessellation {
    int size = 4;                   // floats per vertex
    std::vector<GLfloat> vertices;  // x, y, z, w of each vertex
    std::vector<GLfloat> normals;   // x, y, z of each vertex; surfaces only
    std::size_t triangles = 0;

    std::size_t VertexCount() const { return vertices.size() / size; }
};

// The knot vector of one Bezier segment of `order`: that many zeros, then that many ones.
void BezierKnots(int order, GLfloat* knots);

// Appends the tessellation of one rational Bezier curve of `order` (2 to 4) given as `order`
// homogeneous points x, y, z, w; GLU's default sampling under the current matrices and viewport.
// Returns the number of vertices added.
std::size_t TessellateCurve(const GLfloat* control, int order, Tessellation& out);

// Appends the tessellation of one rational Bezier patch of `rows` (2 to 4) rows of 4 homogeneous
// points, row after row; GLU samples it with a tolerance of 100 pixels under the current matrices
// and viewport; each vertex keeps the weight of its point and gets GLU's normal. Returns the number
// of vertices added.
std::size_t TessellatePatch(const GLfloat* control, int rows, Tessellation& out);

// Records `count` vertices of `size` coordinates of `type`, each with a normal unless `normals` is
// null, into the list being compiled as one draw of `mode`.
void RecordArrays(GLenum mode, GLint size, GLenum type, const void* vertices, const void* normals,
                  std::size_t count);

// Records the vertices into the list being compiled as one draw of `mode` (GL_TRIANGLES or
// GL_LINES). With `normals` false the current normal stays as it is.
void RecordTessellation(const Tessellation& t, GLenum mode, bool normals);

}  // namespace kavelo::render
