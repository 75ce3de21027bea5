#define GL_GLEXT_PROTOTYPES 1  // glBindBuffer, which Mesa's libGL exports

#include "render/nurbs_tessellation.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <new>

namespace kavelo::render {

namespace {

constexpr GLfloat kPatchTolerance = 100.0f;  // longest tessellated edge, in pixels
constexpr double kCurveTolerance = 50.0;     // GLU's default, which curves keep
constexpr int kCols = 4;

// Where GLU's sampling will land: the projection times model-view, and half the viewport, which
// map a homogeneous point to window pixels (up to a translation); or, sampled in scene units, the
// point divided through by its weight.
struct Projection {
    std::array<double, 16> clip{};  // column-major
    double halfWidth = 0.0;
    double halfHeight = 0.0;
    bool sceneUnits = false;

    explicit Projection(const SamplingView& view) : sceneUnits(view.sceneTolerance > 0.0) {
        for (int c = 0; c < 4; ++c) {
            for (int r = 0; r < 4; ++r) {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k) {
                    sum += static_cast<double>(view.projection[4 * k + r]) *
                           static_cast<double>(view.modelview[4 * c + k]);
                }
                clip[4 * c + r] = sum;
            }
        }
        halfWidth = view.viewport[2] / 2.0;
        halfHeight = view.viewport[3] / 2.0;
    }

    // Window position of a homogeneous point (z 0), or its place in the scene; false when it lies
    // at or behind the eye's plane, or has no positive weight, where no length can be given.
    bool Project(const GLfloat* p, double& x, double& y, double& z) const {
        if (sceneUnits) {
            const double w = p[3];
            x = p[0] / w;
            y = p[1] / w;
            z = p[2] / w;
            return w > 0.0 && std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
        }
        double out[4];
        for (int r = 0; r < 4; ++r) {
            out[r] = clip[r] * p[0] + clip[4 + r] * p[1] + clip[8 + r] * p[2] + clip[12 + r] * p[3];
        }
        if (!(out[3] > 0.0)) {
            return false;
        }
        x = out[0] / out[3] * halfWidth;
        y = out[1] / out[3] * halfHeight;
        z = 0.0;
        return std::isfinite(x) && std::isfinite(y);
    }

    double Distance(double dx, double dy, double dz) const {
        return sceneUnits ? std::hypot(dx, dy, dz) : std::hypot(dx, dy);
    }
};

// GLU's path-length sampling takes about (order - 1) x the longest projected edge of the control
// net over the tolerance, twice over, as steps along a direction. This estimate tells beforehand
// whether it would exceed the bound, so that GLU never starts on an unbounded sampling.
// `points` are `n` homogeneous points `stride` floats apart along the direction; infinity when
// some point cannot be projected.
double EstimatedSteps(const Projection& view, const GLfloat* points, int n, int stride, int lines,
                      int lineStride, double tolerance) {
    double longest = 0.0;
    for (int line = 0; line < lines; ++line) {
        double px = 0.0;
        double py = 0.0;
        double pz = 0.0;
        for (int i = 0; i < n; ++i) {
            double x = 0.0;
            double y = 0.0;
            double z = 0.0;
            if (!view.Project(points + line * lineStride + i * stride, x, y, z)) {
                return std::numeric_limits<double>::infinity();
            }
            if (i > 0) {
                longest = std::max(longest, view.Distance(x - px, y - py, z - pz));
            }
            px = x;
            py = y;
            pz = z;
        }
    }
    return 2.0 * (n - 1) * longest / tolerance;
}

// Bernstein polynomials of degree n - 1 at u, and their derivatives. Runs for every vertex of a
// patch that may lack a tangent plane, so the powers are multiplied up, not taken with pow.
void Bernstein(int n, double u, double* b, double* d) {
    static constexpr double kBinomial[4][4] = {
        {1, 0, 0, 0}, {1, 1, 0, 0}, {1, 2, 1, 0}, {1, 3, 3, 1}};
    const int m = n - 1;
    double up[4] = {1.0, 0.0, 0.0, 0.0};  // u^k
    double vp[4] = {1.0, 0.0, 0.0, 0.0};  // (1 - u)^k
    for (int k = 1; k < n; ++k) {
        up[k] = up[k - 1] * u;
        vp[k] = vp[k - 1] * (1.0 - u);
    }
    for (int i = 0; i < n; ++i) {
        b[i] = kBinomial[m][i] * up[i] * vp[m - i];
        d[i] = m == 0 ? 0.0
                      : m * ((i > 0 ? kBinomial[m - 1][i - 1] * up[i - 1] * vp[m - i] : 0.0) -
                             (i < m ? kBinomial[m - 1][i] * up[i] * vp[m - 1 - i] : 0.0));
    }
}

// Whether the patch has no tangent plane at (s, t), as where a row of control points collapses
// to one point (the tip of a teapot's lid). OpenGL's evaluator then lights the vertex with a
// zero normal; GLU makes one up. The old picture is kept.
bool Degenerate(const GLfloat* control, int rows, double s, double t) {
    double bs[4], ds[4], bt[4], dt[4];
    Bernstein(rows, s, bs, ds);
    Bernstein(kCols, t, bt, dt);
    double p[4] = {}, ps[4] = {}, pt[4] = {};
    double extent = 0.0;
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < kCols; ++j) {
            const GLfloat* q = control + 4 * (kCols * i + j);
            for (int k = 0; k < 4; ++k) {
                p[k] += bs[i] * bt[j] * q[k];
                ps[k] += ds[i] * bt[j] * q[k];
                pt[k] += bs[i] * dt[j] * q[k];
                extent = std::max(extent, std::fabs(static_cast<double>(q[k])));
            }
        }
    }
    double du[3], dv[3];
    for (int k = 0; k < 3; ++k) {
        du[k] = ps[k] * p[3] - ps[3] * p[k];
        dv[k] = pt[k] * p[3] - pt[3] * p[k];
    }
    const double n[3] = {du[1] * dv[2] - du[2] * dv[1], du[2] * dv[0] - du[0] * dv[2],
                         du[0] * dv[1] - du[1] * dv[0]};
    const double scale = extent * extent;
    return std::hypot(n[0], n[1], n[2]) <= 1e-5 * scale * scale;
}

// A tangent plane vanishes where a derivative does, which takes two neighbouring control points
// at one place.
bool CoincidentNeighbours(const GLfloat* control, int rows) {
    auto same = [control](int a, int b) {
        const GLfloat* p = control + 4 * a;
        const GLfloat* q = control + 4 * b;
        return p[0] * q[3] == q[0] * p[3] && p[1] * q[3] == q[1] * p[3] &&
               p[2] * q[3] == q[2] * p[3];
    };
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < kCols; ++j) {
            if ((j + 1 < kCols && same(kCols * i + j, kCols * i + j + 1)) ||
                (i + 1 < rows && same(kCols * i + j, kCols * (i + 1) + j))) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

// Gathers what GLU delivers for one item, turning each primitive into triangles or line segments.
// Its buffers serve every item of a compile.
struct Tessellator::Collector {
    Tessellation* out = nullptr;
    std::size_t limit = 0;  // vertices this item may add
    std::size_t added = 0;
    std::size_t primitives = 0;  // triangles or segments this item added
    bool overflow = false;
    bool failed = false;       // memory ran out
    bool withNormals = false;  // one normal per vertex, the latest GLU delivered
    GLenum mode = GL_POINTS;
    std::vector<GLfloat> vertices;  // of the open primitive
    std::vector<GLfloat> normals;
    std::vector<GLfloat> params;  // s, t and weight of each vertex of a surface
    GLfloat normal[3] = {0.0f, 0.0f, 0.0f};
    GLfloat param[3] = {0.0f, 0.0f, 1.0f};
    const GLfloat* control = nullptr;  // of a surface: rows of 4 homogeneous points
    int rows = 0;
    bool mayDegenerate = false;  // whether some vertex may lack a tangent plane

    void Start(Tessellation& to, std::size_t vertexLimit, const GLfloat* points, int pointRows,
               bool surface) {
        out = &to;
        limit = vertexLimit;
        added = 0;
        primitives = 0;
        overflow = false;
        failed = false;
        withNormals = surface;
        mode = GL_POINTS;
        vertices.clear();
        normals.clear();
        params.clear();
        std::fill(normal, normal + 3, 0.0f);
        param[0] = param[1] = 0.0f;
        param[2] = 1.0f;
        control = points;
        rows = pointRows;
        mayDegenerate = surface && CoincidentNeighbours(points, pointRows);
    }

    // Appends the vertices `indices` of the open primitive: one triangle or one line segment.
    void Emit(std::initializer_list<std::size_t> indices, std::size_t triangles) {
        added += indices.size();
        if (overflow || added > limit) {
            overflow = true;
            return;
        }
        ++primitives;
        out->triangles += triangles;
        for (const std::size_t i : indices) {
            const GLfloat* v = &vertices[out->size * i];
            out->vertices.insert(out->vertices.end(), v, v + out->size);
            if (!normals.empty()) {
                out->normals.insert(out->normals.end(), &normals[3 * i], &normals[3 * i] + 3);
            }
        }
    }

    // Corners a0, b0 of one row and a1, b1 of the next, as two triangles split along the
    // diagonal that OpenGL's evaluator mesh takes, from the corner of lower s and t to the
    // corner of higher s and t. GLU's quad strips run either way, so the diagonal of their own
    // vertex order would light half of the quads differently.
    void Quad(std::size_t a0, std::size_t b0, std::size_t a1, std::size_t b1) {
        const double ds = params[3 * b0] - params[3 * a1];
        const double dt = params[3 * b0 + 1] - params[3 * a1 + 1];
        if (ds * dt >= 0.0) {
            Emit({a0, b0, a1}, 1);
            Emit({b0, b1, a1}, 1);
        } else {
            Emit({a0, b0, b1}, 1);
            Emit({a0, b1, a1}, 1);
        }
    }

    void End() {
        const std::size_t n = vertices.size() / out->size;
        switch (mode) {
            case GL_QUAD_STRIP:
                for (std::size_t i = 0; i + 4 <= n; i += 2) {
                    Quad(i, i + 1, i + 2, i + 3);
                }
                break;
            case GL_TRIANGLE_STRIP:
                for (std::size_t i = 2; i < n; ++i) {
                    Emit({i - 2, i - 1, i}, 1);
                }
                break;
            case GL_TRIANGLE_FAN:
            case GL_POLYGON:
                for (std::size_t i = 2; i < n; ++i) {
                    Emit({0, i - 1, i}, 1);
                }
                break;
            case GL_TRIANGLES:
                for (std::size_t i = 0; i + 3 <= n; i += 3) {
                    Emit({i, i + 1, i + 2}, 1);
                }
                break;
            case GL_LINE_STRIP:
                for (std::size_t i = 1; i < n; ++i) {
                    Emit({i - 1, i}, 0);
                }
                break;
            case GL_LINES:
                for (std::size_t i = 0; i + 2 <= n; i += 2) {
                    Emit({i, i + 1}, 0);
                }
                break;
            default:
                break;  // points are not drawn in fill mode
        }
        vertices.clear();
        normals.clear();
        params.clear();
    }
};

struct Tessellator::Sampling : Projection {
    explicit Sampling(const SamplingView& v) : Projection(v), view(v) {}
    SamplingView view;
    // Longest tessellated edge: in pixels, or in scene units for every kind.
    double CurveTolerance() const { return sceneUnits ? view.sceneTolerance : kCurveTolerance; }
    double PatchTolerance() const { return sceneUnits ? view.sceneTolerance : kPatchTolerance; }
};

namespace {

using Collector = Tessellator::Collector;

// GLU calls back from its own frames, which no exception may cross: memory running out ends the
// item instead.
template <class Work>
void Guarded(void* data, Work&& work) {
    auto* c = static_cast<Collector*>(data);
    if (c->overflow) {
        return;
    }
    try {
        work(*c);
    } catch (const std::bad_alloc&) {
        c->failed = true;
        c->overflow = true;
    }
}

void GLAPIENTRY OnBegin(GLenum type, void* data) {
    auto* c = static_cast<Collector*>(data);
    c->mode = type;
    c->vertices.clear();
    c->normals.clear();
    c->params.clear();
}

void GLAPIENTRY OnNormal(GLfloat* n, void* data) {
    auto* c = static_cast<Collector*>(data);
    std::copy(n, n + 3, c->normal);
}

// A surface also carries the polynomial map (s, t) -> (s, t, weight) as its texture
// coordinates, so that each vertex tells where in the patch it lies and its weight.
void GLAPIENTRY OnParam(GLfloat* stw, void* data) {
    auto* c = static_cast<Collector*>(data);
    std::copy(stw, stw + 3, c->param);
}

void GLAPIENTRY OnVertex(GLfloat* v, void* data) {
    Guarded(data, [v](Collector& c) {
        if (c.withNormals) {
            // GLU hands surface vertices over divided through; OpenGL's evaluator gave them with
            // their weight, which the rasteriser's perspective-correct shading sees. Put it back.
            const GLfloat w = c.param[2];
            c.vertices.insert(c.vertices.end(), {v[0] * w, v[1] * w, v[2] * w, w});
            if (c.mayDegenerate && Degenerate(c.control, c.rows, c.param[0], c.param[1])) {
                c.normals.insert(c.normals.end(), {0.0f, 0.0f, 0.0f});
            } else {
                c.normals.insert(c.normals.end(), c.normal, c.normal + 3);
            }
            c.params.insert(c.params.end(), c.param, c.param + 3);
        } else {
            c.vertices.insert(c.vertices.end(), v, v + 4);
        }
    });
}

void GLAPIENTRY OnEnd(void* data) {
    Guarded(data, [](Collector& c) { c.End(); });
}

// A renderer in tessellator mode that hands its primitives to `collector`, for a surface with
// the properties every patch takes.
GLUnurbs* NewTessellator(Collector& collector, bool surface, double sceneTolerance) {
    GLUnurbs* n = gluNewNurbsRenderer();
    if (n == nullptr) {
        return nullptr;
    }
    gluNurbsProperty(n, GLU_NURBS_MODE, GLU_NURBS_TESSELLATOR);
    gluNurbsCallback(n, GLU_NURBS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(OnBegin));
    gluNurbsCallback(n, GLU_NURBS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(OnVertex));
    gluNurbsCallback(n, GLU_NURBS_END_DATA, reinterpret_cast<_GLUfuncptr>(OnEnd));
    gluNurbsCallbackData(n, &collector);
    // In tessellator mode GLU does not read OpenGL's matrices itself.
    gluNurbsProperty(n, GLU_AUTO_LOAD_MATRIX, GL_FALSE);
    if (surface) {
        gluNurbsCallback(n, GLU_NURBS_NORMAL_DATA, reinterpret_cast<_GLUfuncptr>(OnNormal));
        gluNurbsCallback(n, GLU_NURBS_TEXTURE_COORD_DATA, reinterpret_cast<_GLUfuncptr>(OnParam));
        gluNurbsProperty(n, GLU_SAMPLING_TOLERANCE, kPatchTolerance);
        gluNurbsProperty(n, GLU_DISPLAY_MODE, static_cast<GLfloat>(GLU_FILL));
    }
    if (sceneTolerance > 0.0) {
        gluNurbsProperty(n, GLU_SAMPLING_METHOD, GLU_OBJECT_PATH_LENGTH);
        gluNurbsProperty(n, GLU_SAMPLING_TOLERANCE, static_cast<GLfloat>(sceneTolerance));
    }
    return n;
}

// Drops what an item added to `out` past the given sizes.
struct Mark {
    std::size_t vertices;
    std::size_t normals;
    std::size_t triangles;

    explicit Mark(const Tessellation& t)
        : vertices(t.vertices.size()), normals(t.normals.size()), triangles(t.triangles) {}
    void Restore(Tessellation& t) const {
        t.vertices.resize(vertices);
        t.normals.resize(normals);
        t.triangles = triangles;
    }
};

// However small an item appears, GLU's own sampling makes two segments of a curve and six
// triangles of a patch; a scene of many tiny items is counted at that.
constexpr double kLeastCurveSegments = 2.0;
constexpr double kLeastPatchTriangles = 6.0;

// Steps within the per-item bound, at least one.
double Bounded(double steps, int samples) {
    return std::clamp(steps, 1.0, static_cast<double>(samples - 1));
}

// Steps of the fixed grid: the bound, or a share of the estimate when the budget applies. GLU's
// grid gives a curve one segment more than its steps, a patch exactly its steps.
GLfloat GridSteps(double estimate, double share, int samples, int extra) {
    if (share >= 1.0) {
        return static_cast<GLfloat>(samples - 1);
    }
    const double steps = std::floor(Bounded(estimate, samples) * share) - extra;
    return static_cast<GLfloat>(std::max(1.0, steps));
}

}  // namespace

void BezierKnots(int order, GLfloat* knots) {
    std::fill(knots, knots + order, 0.0f);
    std::fill(knots + order, knots + 2 * order, 1.0f);
}

Tessellator::Tessellator(const SamplingView& view)
    : m_view(std::make_unique<Sampling>(view)),
      m_collector(std::make_unique<Collector>()),
      m_primitivesLeft(std::numeric_limits<std::size_t>::max()) {}

Tessellator::~Tessellator() {
    for (GLUnurbs* n : {m_curveRenderer, m_patchRenderer}) {
        if (n != nullptr) {
            gluDeleteNurbsRenderer(n);
        }
    }
}

double Tessellator::CurveSteps(const GLfloat* control, int order) const {
    return EstimatedSteps(*m_view, control, order, 4, 1, 0, m_view->CurveTolerance());
}

void Tessellator::PatchSteps(const GLfloat* control, int rows, double& s, double& t) const {
    // Along s (down the rows) and along t (along each row).
    s = EstimatedSteps(*m_view, control, rows, 4 * kCols, kCols, 4, m_view->PatchTolerance());
    t = EstimatedSteps(*m_view, control, kCols, 4, rows, 4 * kCols, m_view->PatchTolerance());
}

double Tessellator::CurveEstimate(double steps) {
    return std::max(kLeastCurveSegments, Bounded(steps, kMaxCurveSamples));
}

double Tessellator::PatchEstimate(double s, double t) {
    return std::max(kLeastPatchTriangles,
                    2.0 * Bounded(s, kMaxPatchSamples) * Bounded(t, kMaxPatchSamples));
}

GLUnurbs* Tessellator::Renderer(GLUnurbs*& shared, bool surface) {
    if (shared == nullptr) {
        shared = NewTessellator(*m_collector, surface, m_view->view.sceneTolerance);
    }
    return shared;
}

// Runs `draw` on a tessellator that appends to `out`: GLU's own sampling when the estimate keeps
// within the bound and no budget applies, otherwise, or when that sampling overflows, the fixed
// grid that `grid` sets.
template <class Grid, class Draw>
std::size_t Tessellator::Run(Tessellation& out, const GLfloat* control, int rows, bool withinBound,
                             Grid&& grid, Draw&& draw) {
    const bool surface = rows > 0;
    const std::size_t perItem = surface ? kMaxPatchVertices : kMaxCurveVertices;
    const std::size_t perPrimitive = surface ? 3 : 2;
    if (m_outOfMemory || m_primitivesLeft == 0) {
        return 0;
    }
    const std::size_t limit =
        m_primitivesLeft >= perItem / perPrimitive ? perItem : m_primitivesLeft * perPrimitive;
    const Mark mark(out);
    for (int attempt = withinBound && m_share >= 1.0 ? 0 : 1; attempt < 2; ++attempt) {
        Collector& c = *m_collector;
        c.Start(out, limit, control, rows, surface);
        GLUnurbs* n = attempt == 0 ? Renderer(surface ? m_patchRenderer : m_curveRenderer, surface)
                                   : NewTessellator(c, surface, m_view->view.sceneTolerance);
        if (n == nullptr) {
            return 0;
        }
        gluLoadSamplingMatrices(n, m_view->view.modelview, m_view->view.projection,
                                m_view->view.viewport);
        if (attempt == 1) {
            gluNurbsProperty(n, GLU_SAMPLING_METHOD, GLU_DOMAIN_DISTANCE);
            grid(n);
        }
        try {
            draw(n);
        } catch (const std::bad_alloc&) {
            c.failed = true;
        }
        if (attempt == 1) {
            gluDeleteNurbsRenderer(n);
        }
        if (c.failed) {
            m_outOfMemory = true;
            mark.Restore(out);
            return 0;
        }
        if (!c.overflow) {
            m_primitivesLeft -= c.primitives;
            return c.added;
        }
        mark.Restore(out);
    }
    if (limit < perItem) {
        // Not even the coarsest grid fits what is left of the budget: leave out the items after
        // this one at once, rather than tessellate each only to throw it away.
        m_primitivesLeft = 0;
    }
    return 0;
}

std::size_t Tessellator::Curve(const GLfloat* control, int order, Tessellation& out) {
    return Curve(control, order, CurveSteps(control, order), out);
}

std::size_t Tessellator::Curve(const GLfloat* control, int order, double steps, Tessellation& out) {
    GLfloat knots[8];
    BezierKnots(order, knots);
    return Run(
        out, control, 0, steps < kMaxCurveSamples - 1,
        [&](GLUnurbs* n) {
            gluNurbsProperty(n, GLU_U_STEP, GridSteps(steps, m_share, kMaxCurveSamples, 1));
        },
        [&](GLUnurbs* n) {
            gluBeginCurve(n);
            gluNurbsCurve(n, 2 * order, knots, 4, const_cast<GLfloat*>(control), order,
                          GL_MAP1_VERTEX_4);
            gluEndCurve(n);
        });
}

std::size_t Tessellator::Patch(const GLfloat* control, int rows, Tessellation& out) {
    double s = 0.0;
    double t = 0.0;
    PatchSteps(control, rows, s, t);
    return Patch(control, rows, s, t, out);
}

std::size_t Tessellator::Patch(const GLfloat* control, int rows, double s, double t,
                               Tessellation& out) {
    GLfloat sKnots[8];
    BezierKnots(rows, sKnots);
    GLfloat tKnots[8];
    BezierKnots(kCols, tKnots);
    // Bezier control values of the identity, evenly spaced from 0 to 1, and the weights.
    GLfloat params[4 * kCols * 3];
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < kCols; ++j) {
            GLfloat* p = params + 3 * (kCols * i + j);
            p[0] = static_cast<GLfloat>(i) / static_cast<GLfloat>(rows - 1);
            p[1] = static_cast<GLfloat>(j) / (kCols - 1);
            p[2] = control[4 * (kCols * i + j) + 3];
        }
    }
    // Triangles grow with the steps of both directions: each takes the root of the share.
    const double share = std::sqrt(m_share);
    return Run(
        out, control, rows, std::max(s, t) < kMaxPatchSamples - 1,
        [&](GLUnurbs* n) {
            gluNurbsProperty(n, GLU_U_STEP, GridSteps(s, share, kMaxPatchSamples, 0));
            gluNurbsProperty(n, GLU_V_STEP, GridSteps(t, share, kMaxPatchSamples, 0));
        },
        [&](GLUnurbs* n) {
            gluBeginSurface(n);
            gluNurbsSurface(n, 2 * rows, sKnots, 2 * kCols, tKnots, 4 * kCols, 4,
                            const_cast<GLfloat*>(control), rows, kCols, GL_MAP2_VERTEX_4);
            gluNurbsSurface(n, 2 * rows, sKnots, 2 * kCols, tKnots, 3 * kCols, 3, params, rows,
                            kCols, GL_MAP2_TEXTURE_COORD_3);
            gluEndSurface(n);
        });
}

std::size_t TessellateCurve(const SamplingView& view, const GLfloat* control, int order,
                            Tessellation& out) {
    return Tessellator(view).Curve(control, order, out);
}

std::size_t TessellatePatch(const SamplingView& view, const GLfloat* control, int rows,
                            Tessellation& out) {
    return Tessellator(view).Patch(control, rows, out);
}

void RecordArrays(GLenum mode, GLint size, GLenum type, const void* vertices, const void* normals,
                  std::size_t count) {
    if (count == 0) {
        return;
    }
    // Client arrays are read from memory here, whatever buffer a caller left bound; the list
    // keeps its own copy of what the draw reads.
    GLint buffer = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    for (GLenum array : {GL_COLOR_ARRAY, GL_INDEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_EDGE_FLAG_ARRAY,
                         GL_FOG_COORD_ARRAY, GL_SECONDARY_COLOR_ARRAY, GL_NORMAL_ARRAY}) {
        glDisableClientState(array);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    if (normals != nullptr) {
        glEnableClientState(GL_NORMAL_ARRAY);
    }
    const std::size_t scalar = type == GL_DOUBLE ? sizeof(GLdouble) : sizeof(GLfloat);
    const std::size_t piece = mode == GL_TRIANGLES || mode == GL_LINES ? kMaxDrawVertices : count;
    for (std::size_t first = 0; first < count; first += piece) {
        glVertexPointer(size, type, 0, static_cast<const char*>(vertices) + first * size * scalar);
        if (normals != nullptr) {
            glNormalPointer(type, 0, static_cast<const char*>(normals) + first * 3 * scalar);
        }
        glDrawArrays(mode, 0, static_cast<GLsizei>(std::min(piece, count - first)));
    }
    glPopClientAttrib();
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
}

void RecordTessellation(const Tessellation& t, GLenum mode, bool normals) {
    const bool withNormals = normals && t.normals.size() == 3 * t.VertexCount();
    RecordArrays(mode, t.size, GL_FLOAT, t.vertices.data(),
                 withNormals ? t.normals.data() : nullptr, t.VertexCount());
}

}  // namespace kavelo::render
