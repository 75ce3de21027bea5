// Frame time of a scene of 100,000 polygons and 1,000 surfaces at 800x600 on the headless
// context: the display-list replay against drawing the same geometry call by call (immediate
// mode) in the same frame, and the share of a frame spent outside glCallList. Then the page faults
// and CPU time of the frames of the teapot, 1,000 patches and 10,000 small patches, as
// kavelo-render draws them; KAVELO_BENCH_DEFAULT_HEAP=1 draws them on glibc's default heap.
#include <malloc.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "frame_cost.h"
#include "headless.h"
#include "navigation/view_params.h"
#include "platform/gl/headless_gl_context.h"
#include "render/scene_compiler.h"
#include "scene/list_builder.h"
#include "scene/reader.h"
#include "scene/scene.h"
#include "scene/scene_file.h"
#include "tessellation_recorder.h"

using kavelo::bench::ConfigureBenchHeap;
using kavelo::bench::Headless;
using kavelo::bench::MakeHeadless;
using kavelo::bench::PatchGridText;
using kavelo::bench::Primitive;
using kavelo::bench::Recorder;
using kavelo::bench::RecordSurface;
using kavelo::bench::Seconds;
using kavelo::bench::Usage;
using kavelo::scene::ForEachItem;
using kavelo::scene::ReadSceneFile;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneList;
using kavelo::scene::SceneListBuilder;
using kavelo::scene::SceneReadResult;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kPolygons = 100000;
constexpr int kSurfaces = 1000;

// A small deterministic generator, so that every run draws the same scene.
struct Lcg {
    unsigned long long state = 12345;
    double Next() {  // in [-1, 1)
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) / static_cast<double>(1ull << 52) - 1.0;
    }
};

SceneList<PolygonNode> Polygons() {
    SceneListBuilder<PolygonNode> b;
    Lcg r;
    for (int k = 0; k < kPolygons; ++k) {
        PolygonNode& p = b.Tail();
        const double x = r.Next();
        const double y = r.Next();
        const double z = r.Next();
        const double s = 0.02 + 0.02 * r.Next();
        p.normal = {r.Next(), r.Next(), 1.0, 0.0};
        p.vertices[0] = {x, y, z, 1.0};
        p.vertices[1] = {x + s, y, z, 1.0};
        p.vertices[2] = {x + s, y + s, z + s, 1.0};
        p.vertices[3] = {x, y + s, z + s, 1.0};
        p.count = 4;
        b.Append();
    }
    return b.Finish();
}

SceneList<SurfaceNode> Surfaces() {
    SceneListBuilder<SurfaceNode> b;
    const double dx = 1.9 / 40;
    const double dy = 1.9 / 25;
    for (int k = 0; k < kSurfaces; ++k) {
        const double x = -0.95 + (k % 40) * dx;
        const double y = -0.95 + (k / 40) * dy;
        SurfaceNode& s = b.Tail();
        for (int i = 0; i < 16; ++i) {
            const int si = i / 4;
            const int tj = i % 4;
            const bool inner = si % 3 != 0 && tj % 3 != 0;
            const double w = inner ? 2.0 : 1.0;
            s.points[i] = {(x + si * dx / 3) * w, (y + tj * dy / 3) * w, (inner ? 0.3 : 0.0) * w,
                           w};
        }
        s.count = 16;
        b.Append();
    }
    return b.Finish();
}

std::vector<Primitive> TessellateSurfaces(const SurfaceNode* surfaces) {
    Recorder recorder;
    glEnable(GL_AUTO_NORMAL);  // as in a frame, so that GLU makes the surface normals
    ForEachItem(surfaces, [&](const SurfaceNode& s) { RecordSurface(recorder, s); });
    return std::move(recorder.primitives);
}

// The same calls the list records, made one by one.
void DrawImmediate(const PolygonNode* polygons, const std::vector<Primitive>& surfaces) {
    ForEachItem(polygons, [](const PolygonNode& p) {
        glBegin(GL_POLYGON);
        glNormal3d(p.normal.x, p.normal.y, p.normal.z);
        for (int i = 0; i < p.count; ++i) {
            glVertex3d(p.vertices[i].x, p.vertices[i].y, p.vertices[i].z);
        }
        glEnd();
    });
    for (const Primitive& p : surfaces) {
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

// A context of the benchmark's size, left current, and its renderer sized to it.
Headless Context() {
    return MakeHeadless(kWidth, kHeight, "frame_bench");
}

// Context `full` holds the scene in its list; context `bare` an empty list, on which a frame is
// all the work outside glCallList, and the same frame plus immediate drawing is the baseline.
void BM_FrameReplayAgainstImmediate(benchmark::State& state) {
    const SceneList<PolygonNode> polygons = Polygons();
    const SceneList<SurfaceNode> surfaces = Surfaces();
    ViewParams view;
    ResetParams(view);

    Headless full = Context();
    full.renderer.Compile({polygons, nullptr, surfaces}, kavelo::render::CurrentSampling());
    glFinish();
    Headless bare = Context();
    const std::vector<Primitive> tessellation = TessellateSurfaces(surfaces);
    bare.renderer.Compile({}, kavelo::render::CurrentSampling());
    glFinish();

    double frameSeconds = 0.0;
    double immediateSeconds = 0.0;
    double outsideSeconds = 0.0;
    for (auto _ : state) {
        full.gl->MakeCurrent();
        glFinish();
        auto start = std::chrono::steady_clock::now();
        full.renderer.DrawFrame(view);
        glFinish();
        frameSeconds += Seconds(start);

        bare.gl->MakeCurrent();
        glFinish();
        start = std::chrono::steady_clock::now();
        bare.renderer.DrawFrame(view);  // sets the same state and matrices
        DrawImmediate(polygons, tessellation);
        glFinish();
        immediateSeconds += Seconds(start);

        glFinish();
        start = std::chrono::steady_clock::now();
        bare.renderer.DrawFrame(view);
        glFinish();
        outsideSeconds += Seconds(start);
    }
    bare.gl->DoneCurrent();
    const auto perIteration = benchmark::Counter::kAvgIterations;
    state.counters["frame_ms"] = benchmark::Counter(frameSeconds * 1e3, perIteration);
    state.counters["immediate_frame_ms"] = benchmark::Counter(immediateSeconds * 1e3, perIteration);
    state.counters["immediate_per_list"] = immediateSeconds / frameSeconds;
    state.counters["outside_list_share"] = outsideSeconds / frameSeconds;
}
BENCHMARK(BM_FrameReplayAgainstImmediate)->Unit(benchmark::kMillisecond)->Iterations(20);

bool g_programHeap = false;  // the programs' heap settings apply

SceneReadResult FrameScene(int scene) {
    switch (scene) {
        case 0:
            return ReadSceneFile(KAVELO_SOURCE_DIR "/examples/teapot.txt");
        case 1:
            return ReadSceneText(PatchGridText(40, 25, 10.0));
        default:
            return ReadSceneText(PatchGridText(100, 100, 0.5));
    }
}

// One frame, drawn to the end, and what it cost.
Usage MeasuredFrame(const kavelo::bench::Renderer& renderer, const ViewParams& view,
                    double* seconds) {
    const Usage before = Usage::Now();
    const auto start = std::chrono::steady_clock::now();
    renderer.DrawFrame(view);
    glFinish();
    *seconds += Seconds(start);
    return Usage::Now() - before;
}

// Frames of one scene. On the programs' heap each iteration also draws a frame with glibc's default
// trim threshold (fixed at 128 KiB), so that the same process shows what keeping the heap saves;
// each measured frame follows one drawn in the same setting.
void BM_FrameCost(benchmark::State& state) {
    const SceneReadResult read = FrameScene(static_cast<int>(state.range(0)));
    ViewParams view;
    ResetParams(view);
    Headless h = Context();
    h.renderer.Compile(read.scene, kavelo::render::CurrentSampling());
    h.renderer.DrawFrame(view);
    glFinish();
    Usage kept;
    Usage trimming;
    double seconds = 0.0;
    double unused = 0.0;
    for (auto _ : state) {
        MeasuredFrame(h.renderer, view, &unused);
        kept += MeasuredFrame(h.renderer, view, &seconds);
        if (g_programHeap) {
            mallopt(M_TRIM_THRESHOLD, 128 * 1024);
            MeasuredFrame(h.renderer, view, &unused);
            trimming += MeasuredFrame(h.renderer, view, &unused);
            kavelo::scene::ConfigureHeap();
        }
    }
    h.gl->DoneCurrent();
    const double frames = static_cast<double>(state.iterations());
    state.counters["faults_per_frame"] = kept.faults / frames;
    state.counters["cpu_ms"] = kept.cpuSeconds * 1e3 / frames;
    state.counters["frame_ms"] = seconds * 1e3 / frames;
    if (g_programHeap) {
        state.counters["trimming_faults_per_frame"] = trimming.faults / frames;
        state.counters["trimming_cpu_vs_kept"] = trimming.cpuSeconds / kept.cpuSeconds;
    }
}
BENCHMARK(BM_FrameCost)
    ->ArgName("teapot_1000patches_10000small")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    g_programHeap = ConfigureBenchHeap();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
