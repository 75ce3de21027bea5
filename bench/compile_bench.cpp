// Compiling a scene of 1,000 surfaces and 1,000 curves into the display list, and replaying the
// list against drawing the same tessellation call by call (immediate mode), in one run on the
// headless context at 800x600.
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "headless.h"
#include "navigation/view_params.h"
#include "platform/gl/headless_gl_context.h"
#include "render/nurbs_tessellation.h"
#include "render/scene_compiler.h"
#include "scene/list_builder.h"
#include "scene/reader.h"
#include "scene/scene.h"
#include "tessellation_recorder.h"

using kavelo::bench::Headless;
using kavelo::bench::MakeHeadless;
using kavelo::bench::NewRecordingTessellator;
using kavelo::bench::Primitive;
using kavelo::bench::Recorder;
using kavelo::bench::RecordSurface;
using kavelo::bench::Seconds;
using kavelo::bench::ToFloats;
using kavelo::render::CurrentSampling;
using kavelo::render::ResizeSampling;
using kavelo::scene::ForEachItem;
using kavelo::scene::SceneList;
using kavelo::scene::SceneListBuilder;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kItems = 1000;

// Item k's cell of a 40 x 25 grid over the viewport: its corner and size.
void Cell(int k, double& x, double& y, double& dx, double& dy) {
    dx = 1.9 / 40;
    dy = 1.9 / 25;
    x = -0.95 + (k % 40) * dx;
    y = -0.95 + (k / 40) * dy;
}

SceneList<SurfaceNode> Surfaces() {
    SceneListBuilder<SurfaceNode> b;
    for (int k = 0; k < kItems; ++k) {
        double x, y, dx, dy;
        Cell(k, x, y, dx, dy);
        SurfaceNode& s = b.Tail();
        for (int i = 0; i < 16; ++i) {
            const int si = i / 4;
            const int tj = i % 4;
            const bool inner = si % 3 != 0 && tj % 3 != 0;
            const double w = inner ? 2.0 : 1.0;  // rational, bulging toward the inner points
            s.points[i] = {(x + si * dx / 3) * w, (y + tj * dy / 3) * w, (inner ? 0.3 : 0.0) * w,
                           w};
        }
        s.count = 16;
        b.Append();
    }
    return b.Finish();
}

SceneList<CurveNode> Curves() {
    SceneListBuilder<CurveNode> b;
    for (int k = 0; k < kItems; ++k) {
        double x, y, dx, dy;
        Cell(k, x, y, dx, dy);
        CurveNode& c = b.Tail();
        c.points[0] = {x, y, 0.0, 1.0};
        c.points[1] = {x + dx / 3, y + dy, 0.1, 1.0};
        c.points[2] = {x + 2 * dx / 3, y - dy, 0.2, 1.0};
        c.points[3] = {x + dx, y, 0.3, 1.0};
        c.count = 4;
        b.Append();
    }
    return b.Finish();
}

std::vector<Primitive> Tessellate(const CurveNode* curves, const SurfaceNode* surfaces) {
    GLfloat knots[8] = {0, 0, 0, 0, 1, 1, 1, 1};
    Recorder recorder;
    glEnable(GL_AUTO_NORMAL);  // as in a frame, so that GLU makes the surface normals
    recorder.curve = true;
    ForEachItem(curves, [&](const CurveNode& c) {
        GLfloat control[16];
        ToFloats(c.points, 4, control);
        GLUnurbs* n = NewRecordingTessellator(recorder);
        gluBeginCurve(n);
        gluNurbsCurve(n, 8, knots, 4, control, 4, GL_MAP1_VERTEX_4);
        gluEndCurve(n);
        gluDeleteNurbsRenderer(n);
    });
    recorder.curve = false;
    ForEachItem(surfaces, [&](const SurfaceNode& s) { RecordSurface(recorder, s); });
    return std::move(recorder.primitives);
}

void DrawImmediate(const std::vector<Primitive>& primitives) {
    bool curveNormal = false;
    for (const Primitive& p : primitives) {
        if (p.curve && !curveNormal) {
            glNormal3d(-1.0, -1.0, -1.0);
        }
        curveNormal = p.curve;
        glBegin(p.type);
        const std::size_t n = p.vertices.size() / 3;
        for (std::size_t i = 0; i < n; ++i) {
            if (!p.normals.empty()) {
                glNormal3fv(&p.normals[3 * i]);
            }
            glVertex3fv(&p.vertices[3 * i]);
        }
        glEnd();
    }
}

struct Fixture : Headless {
    SceneList<CurveNode> curves = Curves();
    SceneList<SurfaceNode> surfaces = Surfaces();
};

// One context for the whole run, made current once.
Fixture& Setup() {
    static Fixture* fixture = [] {
        return new Fixture{MakeHeadless(kWidth, kHeight, "compile_bench")};
    }();
    return *fixture;
}

ViewParams FillingView() {
    ViewParams p;
    ResetParams(p);
    p.m_dStretchX = p.m_dStretchY = p.m_dStretchZ = 2.0;
    p.m_dAngleX = p.m_dAngleY = p.m_dAngleZ = 0.0;
    return p;
}

void BM_CompileSurfacesAndCurves(benchmark::State& state) {
    Fixture& f = Setup();
    for (auto _ : state) {
        f.renderer.Compile({nullptr, f.curves, f.surfaces}, CurrentSampling());
        glFinish();
    }
    state.counters["items"] = 2 * kItems;
}
BENCHMARK(BM_CompileSurfacesAndCurves)->Unit(benchmark::kMillisecond);

// The list replay is the measurement; immediate mode, the baseline, runs in the same iterations.
void BM_CallListAgainstImmediate(benchmark::State& state) {
    Fixture& f = Setup();
    f.renderer.Resize(kWidth, kHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const std::vector<Primitive> primitives = Tessellate(f.curves, f.surfaces);
    f.renderer.Compile({nullptr, f.curves, f.surfaces}, CurrentSampling());
    f.renderer.DrawFrame(FillingView());  // the frame's state, kept for the loop
    glFinish();

    double listSeconds = 0.0;
    double immediateSeconds = 0.0;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        auto start = std::chrono::steady_clock::now();
        glCallList(SCENE_LIST);
        glFinish();
        listSeconds += Seconds(start);

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        start = std::chrono::steady_clock::now();
        DrawImmediate(primitives);
        glFinish();
        immediateSeconds += Seconds(start);
    }
    std::size_t vertices = 0;
    for (const Primitive& p : primitives) {
        vertices += p.vertices.size() / 3;
    }
    const auto perIteration = benchmark::Counter::kAvgIterations;
    state.counters["list_ms"] = benchmark::Counter(listSeconds * 1e3, perIteration);
    state.counters["immediate_ms"] = benchmark::Counter(immediateSeconds * 1e3, perIteration);
    state.counters["immediate_per_list"] = immediateSeconds / listSeconds;
    state.counters["primitives"] = static_cast<double>(primitives.size());
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_CallListAgainstImmediate)->Unit(benchmark::kMillisecond);

// The Tessellator, one GLU renderer per kind, against a fresh renderer for every item as the
// compile made them before; both in the same iterations, under the resize's matrices.
void BM_ReusedRendererAgainstOnePerItem(benchmark::State& state) {
    Fixture& f = Setup();
    double reusedSeconds = 0.0;
    double perItemSeconds = 0.0;
    for (auto _ : state) {
        f.renderer.Resize(kWidth, kHeight);
        kavelo::render::Tessellation lines;
        kavelo::render::Tessellation patches;
        auto start = std::chrono::steady_clock::now();
        {
            kavelo::render::Tessellator reused(CurrentSampling());
            ForEachItem(f.curves.get(), [&](const CurveNode& c) {
                GLfloat control[16];
                reused.Curve(control, kavelo::render::CurveControl(c, control), lines);
            });
            ForEachItem(f.surfaces.get(), [&](const SurfaceNode& s) {
                GLfloat control[64];
                reused.Patch(control, kavelo::render::SurfaceControl(s, control), patches);
            });
        }
        reusedSeconds += Seconds(start);
        const std::size_t reusedVertices = lines.VertexCount() + patches.VertexCount();
        lines = {};
        patches = {};
        start = std::chrono::steady_clock::now();
        ForEachItem(f.curves.get(), [&](const CurveNode& c) {
            GLfloat control[16];
            kavelo::render::TessellateCurve(CurrentSampling(), control,
                                            kavelo::render::CurveControl(c, control), lines);
        });
        ForEachItem(f.surfaces.get(), [&](const SurfaceNode& s) {
            GLfloat control[64];
            kavelo::render::TessellatePatch(CurrentSampling(), control,
                                            kavelo::render::SurfaceControl(s, control), patches);
        });
        perItemSeconds += Seconds(start);
        if (lines.VertexCount() + patches.VertexCount() != reusedVertices) {
            state.SkipWithError("the two ways tessellate differently");
            break;
        }
    }
    const auto perIteration = benchmark::Counter::kAvgIterations;
    state.counters["reused_ms"] = benchmark::Counter(reusedSeconds * 1e3, perIteration);
    state.counters["per_item_ms"] = benchmark::Counter(perItemSeconds * 1e3, perIteration);
    state.counters["per_item_per_reused"] = perItemSeconds / reusedSeconds;
}
BENCHMARK(BM_ReusedRendererAgainstOnePerItem)->Unit(benchmark::kMillisecond);

// What start-up and kavelo-render wait for, the first compile under the resize's matrices and
// its frame, next to a Restart's compile under the matrices that frame left.
void BM_FirstCompileAndFrameAgainstRestart(benchmark::State& state) {
    Fixture& f = Setup();
    ViewParams view;
    ResetParams(view);
    double firstSeconds = 0.0;
    double frameSeconds = 0.0;
    double restartSeconds = 0.0;
    for (auto _ : state) {
        f.renderer.Resize(kWidth, kHeight);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        auto start = std::chrono::steady_clock::now();
        f.renderer.Compile({nullptr, f.curves, f.surfaces}, CurrentSampling());
        glFinish();
        firstSeconds += Seconds(start);
        start = std::chrono::steady_clock::now();
        f.renderer.DrawFrame(view);
        glFinish();
        frameSeconds += Seconds(start);
        start = std::chrono::steady_clock::now();
        f.renderer.Compile({nullptr, f.curves, f.surfaces}, CurrentSampling());
        glFinish();
        restartSeconds += Seconds(start);
    }
    const auto perIteration = benchmark::Counter::kAvgIterations;
    state.counters["first_compile_ms"] = benchmark::Counter(firstSeconds * 1e3, perIteration);
    state.counters["first_frame_ms"] = benchmark::Counter(frameSeconds * 1e3, perIteration);
    state.counters["restart_compile_ms"] = benchmark::Counter(restartSeconds * 1e3, perIteration);
    state.counters["first_per_restart"] = firstSeconds / restartSeconds;
}
BENCHMARK(BM_FirstCompileAndFrameAgainstRestart)->Unit(benchmark::kMillisecond);

// A scene people write: ten teapots, each of polygons, curves and patches, at start-up.
void BM_CompileTenTeapots(benchmark::State& state) {
    Fixture& f = Setup();
    static const kavelo::scene::SceneReadResult read = [] {
        std::ifstream file(KAVELO_SOURCE_DIR "/examples/teapot.txt");
        const std::string one((std::istreambuf_iterator<char>(file)), {});
        std::string text;
        for (int i = 0; i < 10; ++i) {
            text += one;
        }
        return kavelo::scene::ReadSceneText(text, "teapots.txt");
    }();
    for (auto _ : state) {
        f.renderer.Resize(kWidth, kHeight);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        f.renderer.Compile(read.scene, ResizeSampling(kWidth, kHeight));
        glFinish();
    }
}
BENCHMARK(BM_CompileTenTeapots)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
