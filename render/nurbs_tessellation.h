// Curves and surfaces tessellated once, through GLU's tessellator mode, into plain geometry that
// the scene list records in a few calls. The driver then only replays vertices; it never
// evaluates a NURBS map again.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "mesh/scene_geometry.h"
#include "render/sampling_view.h"

class GLUnurbs;

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

// Independent triangles for surfaces (each quad GLU delivers split along the diagonal OpenGL's
// own evaluator mesh takes), independent line segments for curves.
using kavelo::mesh::Tessellation;

// The knot vector of one Bezier segment of `order`: that many zeros, then that many ones.
void BezierKnots(int order, GLfloat* knots);

// Tessellates the curves and patches of one compile as `view` says. Makes no GL call. One GLU
// renderer per kind serves every item GLU samples its own way: creating one
// per item cost a fifth of the compile. An item sampled on a fixed grid gets a fresh renderer, as
// GLU keeps part of that mode's state and would sample the next items far finer.
class Tessellator {
  public:
    explicit Tessellator(const SamplingView& view);
    ~Tessellator();
    Tessellator(const Tessellator&) = delete;
    Tessellator& operator=(const Tessellator&) = delete;

    // Steps GLU's own sampling would take along the curve, and along s and t of the patch, as the
    // view projects their control points; infinity where a point cannot be projected.
    double CurveSteps(const GLfloat* control, int order) const;
    void PatchSteps(const GLfloat* control, int rows, double& s, double& t) const;
    // Line segments, or triangles, that GLU's sampling would give the item of these steps, within
    // the per-item bound; at least the 2 segments, or 6 triangles, GLU makes of the smallest item.
    static double CurveEstimate(double steps);
    static double PatchEstimate(double s, double t);

    // With `share` below 1 every later item is sampled on a fixed grid of that share of its
    // estimate (the square root of it in each direction of a patch), at least one step.
    void Coarsen(double share) { m_share = share; }
    // Segments and triangles that all later items together may add; an item beyond it is dropped.
    void LimitPrimitives(std::size_t primitives) { m_primitivesLeft = primitives; }

    // Appends the tessellation of one rational Bezier curve of `order` (2 to 4) given as `order`
    // homogeneous points x, y, z, w; GLU's default sampling. Returns the vertices added.
    std::size_t Curve(const GLfloat* control, int order, Tessellation& out);
    // The same with the curve's steps already estimated.
    std::size_t Curve(const GLfloat* control, int order, double steps, Tessellation& out);
    // Appends the tessellation of one rational Bezier patch of `rows` (2 to 4) rows of 4
    // homogeneous points, row after row, sampled with a tolerance of 100 pixels; each vertex keeps
    // the weight of its point and gets GLU's normal. Returns the vertices added.
    std::size_t Patch(const GLfloat* control, int rows, Tessellation& out);
    std::size_t Patch(const GLfloat* control, int rows, double s, double t, Tessellation& out);

    // Memory ran out during an item; that item added nothing, and later ones add nothing.
    bool OutOfMemory() const { return m_outOfMemory; }

    struct Sampling;   // the view, ready to project points
    struct Collector;  // what GLU delivers for one item

  private:
    template <class Grid, class Draw>
    std::size_t Run(Tessellation& out, const GLfloat* control, int rows, bool withinBound,
                    Grid&& grid, Draw&& draw);
    GLUnurbs* Renderer(GLUnurbs*& shared, bool surface);

    std::unique_ptr<const Sampling> m_view;
    std::unique_ptr<Collector> m_collector;  // its buffers serve every item
    GLUnurbs* m_curveRenderer = nullptr;     // made on first use
    GLUnurbs* m_patchRenderer = nullptr;
    double m_share = 1.0;
    std::size_t m_primitivesLeft;
    bool m_outOfMemory = false;
};

// One item tessellated on its own, as a Tessellator made for it would.
std::size_t TessellateCurve(const SamplingView& view, const GLfloat* control, int order,
                            Tessellation& out);
std::size_t TessellatePatch(const SamplingView& view, const GLfloat* control, int rows,
                            Tessellation& out);

// Records `count` vertices of `size` coordinates of `type`, each with a normal unless `normals` is
// null, into the list being compiled as draws of `mode`. Mesa's list code fails on a draw of
// 2^31 bytes or more, so a long array goes in pieces of at most kMaxDrawVertices.
inline constexpr std::size_t kMaxDrawVertices = std::size_t{3} << 20;
void RecordArrays(GLenum mode, GLint size, GLenum type, const void* vertices, const void* normals,
                  std::size_t count);

// Records the vertices into the list being compiled as draws of `mode` (GL_TRIANGLES or
// GL_LINES). With `normals` false the current normal stays as it is.
void RecordTessellation(const Tessellation& t, GLenum mode, bool normals);

}  // namespace kavelo::render
