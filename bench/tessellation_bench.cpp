// The scene list of plain geometry against the list GLU records through OpenGL's evaluators (the
// old compile, kept in evaluator_list.h), in one run on the headless context at 800x600 with the
// viewer's default view: frame time for 1,000 and 20,000 patches and 1,000 curves, compile time,
// the memory a list takes, and resident memory across 200 Restarts of a 1 MB scene.
//
// Ratios are old / new (above 1: the new list is better). Each figure is the median of the
// iterations.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "evaluator_list.h"
#include "headless.h"
#include "navigation/view_params.h"
#include "platform/gl/headless_gl_context.h"
#include "render/scene_compiler.h"
#include "scene/list_builder.h"
#include "scene/reader.h"
#include "scene/scene.h"
#include "tessellation_recorder.h"

using kavelo::bench::CompileEvaluatorList;
using kavelo::bench::Headless;
using kavelo::bench::MakeHeadless;
using kavelo::bench::Seconds;
using kavelo::render::CompileSceneList;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneList;
using kavelo::scene::SceneListBuilder;
using kavelo::scene::SceneReadResult;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kSpan = 2.5;  // the scene spans [-kSpan, kSpan], as the examples do

// Patches on a grid of `columns`, bulging toward weighted inner points.
SceneList<SurfaceNode> Patches(int count, int columns) {
    SceneListBuilder<SurfaceNode> b;
    const int rows = (count + columns - 1) / columns;
    const double dx = 2 * kSpan / columns;
    const double dy = 2 * kSpan / rows;
    for (int k = 0; k < count; ++k) {
        const double x = -kSpan + (k % columns) * dx;
        const double y = -kSpan + (k / columns) * dy;
        SurfaceNode& s = b.Tail();
        for (int i = 0; i < 16; ++i) {
            const int si = i / 4;
            const int tj = i % 4;
            const bool inner = si % 3 != 0 && tj % 3 != 0;
            const double w = inner ? 2.0 : 1.0;
            s.points[i] = {(x + si * dx / 3) * w, (y + tj * dy / 3) * w,
                           (inner ? 0.4 * dx : 0.0) * w, w};
        }
        s.count = 16;
        b.Append();
    }
    return b.Finish();
}

// Short curves on a grid of `columns`, with a heavy point.
SceneList<CurveNode> GridCurves(int count, int columns) {
    SceneListBuilder<CurveNode> b;
    const int rows = (count + columns - 1) / columns;
    const double dx = 2 * kSpan / columns;
    const double dy = 2 * kSpan / rows;
    for (int k = 0; k < count; ++k) {
        const double x = -kSpan + (k % columns) * dx;
        const double y = -kSpan + (k / columns) * dy;
        CurveNode& c = b.Tail();
        c.points[0] = {x, y, 0.0, 1.0};
        c.points[1] = {2 * (x + dx / 3), 2 * (y + dy), 0.2, 2.0};
        c.points[2] = {x + 2 * dx / 3, y - dy, 0.4, 1.0};
        c.points[3] = {x + dx, y, 0.6, 1.0};
        c.count = 4;
        b.Append();
    }
    return b.Finish();
}

// Curves across the whole scene, each a little higher than the one before, with a heavy point.
SceneList<CurveNode> LongCurves(int count) {
    SceneListBuilder<CurveNode> b;
    for (int k = 0; k < count; ++k) {
        const double y = -kSpan + 2 * kSpan * k / count;
        CurveNode& c = b.Tail();
        c.points[0] = {-kSpan, y, 0.0, 1.0};
        c.points[1] = {2 * (-kSpan / 3), 2 * (y + 1.0), 0.4, 2.0};
        c.points[2] = {kSpan / 3, y - 1.0, 0.2, 1.0};
        c.points[3] = {kSpan, y, 0.0, 1.0};
        c.count = 4;
        b.Append();
    }
    return b.Finish();
}

// A context of the benchmark's size, left current, and its renderer sized to it.
Headless Context() {
    return MakeHeadless(kWidth, kHeight, "tessellation_bench");
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0.0;
    }
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Heap in use, for what a compile keeps: Mesa keeps display lists and llvmpipe its buffers there.
double HeapMegabytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atof(line.c_str() + 6) / 1024.0;
        }
    }
    return 0.0;
}

using Compile = void (*)(const PolygonNode*, const CurveNode*, const SurfaceNode*);

void CompileNew(const PolygonNode* p, const CurveNode* c, const SurfaceNode* s) {
    CompileSceneList({p, c, s}, kavelo::render::CurrentSampling());
}

// The frame, compile and memory figures of one scene, old list against new.
void Compare(benchmark::State& state, const CurveNode* curves, const SurfaceNode* surfaces) {
    ViewParams view;
    ResetParams(view);
    std::vector<double> compile[2];
    std::vector<double> frame[2];
    double heap[2] = {};
    const Compile compilers[2] = {CompileEvaluatorList, CompileNew};

    Headless contexts[2] = {Context(), Context()};
    // A frame of an empty list: what every frame costs besides the replay.
    Headless bare = Context();
    bare.renderer.Compile({}, kavelo::render::CurrentSampling());
    std::vector<double> outside;
    for (int k = 0; k < 2; ++k) {
        contexts[k].gl->MakeCurrent();
        const double before = HeapMegabytes();
        compilers[k](nullptr, curves, surfaces);
        glFinish();
        heap[k] = HeapMegabytes() - before;
        contexts[k].renderer.DrawFrame(view);  // warms the replay and sets the frame's state
        glFinish();
    }
    for (auto _ : state) {
        bare.gl->MakeCurrent();
        glFinish();
        const auto bareStart = std::chrono::steady_clock::now();
        bare.renderer.DrawFrame(view);
        glFinish();
        outside.push_back(Seconds(bareStart) * 1e3);
        for (int k = 0; k < 2; ++k) {
            contexts[k].gl->MakeCurrent();
            glFinish();
            auto start = std::chrono::steady_clock::now();
            contexts[k].renderer.DrawFrame(view);
            glFinish();
            frame[k].push_back(Seconds(start) * 1e3);

            // A Restart's compile, under the matrices the frame left.
            start = std::chrono::steady_clock::now();
            compilers[k](nullptr, curves, surfaces);
            glFinish();
            compile[k].push_back(Seconds(start) * 1e3);
        }
    }
    state.counters["frame_old_ms"] = Median(frame[0]);
    state.counters["frame_new_ms"] = Median(frame[1]);
    state.counters["frame_speedup"] = Median(frame[0]) / Median(frame[1]);
    state.counters["frame_empty_ms"] = Median(outside);
    state.counters["compile_old_ms"] = Median(compile[0]);
    state.counters["compile_new_ms"] = Median(compile[1]);
    state.counters["compile_new_per_old"] = Median(compile[1]) / Median(compile[0]);
    state.counters["list_old_MB"] = heap[0];
    state.counters["list_new_MB"] = heap[1];
}

void BM_Patches1000(benchmark::State& state) {
    const SceneList<SurfaceNode> patches = Patches(1000, 40);
    Compare(state, nullptr, patches.get());
}
BENCHMARK(BM_Patches1000)->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_Patches20000(benchmark::State& state) {
    const SceneList<SurfaceNode> patches = Patches(20000, 200);
    Compare(state, nullptr, patches.get());
}
BENCHMARK(BM_Patches20000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Curves1000(benchmark::State& state) {
    const SceneList<CurveNode> curves = GridCurves(1000, 40);
    Compare(state, curves.get(), nullptr);
}
BENCHMARK(BM_Curves1000)->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_LongCurves1000(benchmark::State& state) {
    const SceneList<CurveNode> curves = LongCurves(1000);
    Compare(state, curves.get(), nullptr);
}
BENCHMARK(BM_LongCurves1000)->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_PatchesAndCurves1000(benchmark::State& state) {
    const SceneList<SurfaceNode> patches = Patches(1000, 40);
    const SceneList<CurveNode> curves = GridCurves(1000, 40);
    Compare(state, curves.get(), patches.get());
}
BENCHMARK(BM_PatchesAndCurves1000)->Unit(benchmark::kMillisecond)->Iterations(7);

// The example scene repeated to about 1 MB.
std::string MegabyteScene() {
    std::ifstream in(KAVELO_SOURCE_DIR "/examples/input.txt");
    std::stringstream one;
    one << in.rdbuf();
    std::string scene;
    while (scene.size() < (1u << 20)) {
        scene += one.str();
    }
    return scene;
}

// In a child process, so that a crash of the driver ends only the measurement: resident memory
// after the first and after the last of `restarts` reads, compiles and frames. Negative when the
// child did not finish.
void RestartMemory(Compile compile, int restarts, double& first, double& last) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        first = last = -1.0;
        return;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const std::string text = MegabyteScene();
        const Headless headless = Context();
        double figures[2] = {0.0, 0.0};
        ViewParams view;
        ResetParams(view);
        for (int i = 0; i < restarts; ++i) {
            const SceneReadResult read = ReadSceneText(text, "input.txt");
            compile(read.scene.polygons, read.scene.curves, read.scene.surfaces);
            headless.renderer.DrawFrame(view);
            glFinish();
            if (i == 0) {
                figures[0] = ResidentMegabytes();
            }
        }
        figures[1] = ResidentMegabytes();
        const ssize_t written = write(pipeEnds[1], figures, sizeof figures);
        _exit(written == sizeof figures ? 0 : 1);
    }
    close(pipeEnds[1]);
    double figures[2] = {-1.0, -1.0};
    const ssize_t got = read(pipeEnds[0], figures, sizeof figures);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const bool finished = got == sizeof figures && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    first = finished ? figures[0] : -1.0;
    last = finished ? figures[1] : -1.0;
}

void BM_ResidentAcross200Restarts(benchmark::State& state) {
    constexpr int kRestarts = 200;
    double first[2] = {};
    double last[2] = {};
    for (auto _ : state) {
        RestartMemory(CompileEvaluatorList, kRestarts, first[0], last[0]);
        RestartMemory(CompileNew, kRestarts, first[1], last[1]);
    }
    state.counters["old_first_MB"] = first[0];
    state.counters["old_growth_MB"] = first[0] < 0 ? -1.0 : last[0] - first[0];
    state.counters["new_first_MB"] = first[1];
    state.counters["new_growth_MB"] = first[1] < 0 ? -1.0 : last[1] - first[1];
}
BENCHMARK(BM_ResidentAcross200Restarts)->Unit(benchmark::kSecond)->Iterations(1);

// The bundled teapot's 32 patches, 32 times over: 1,024 patches of a scene as people write them,
// each as large on the screen as the whole teapot's parts are.
void BM_TeapotPatches1024(benchmark::State& state) {
    std::ifstream in(KAVELO_SOURCE_DIR "/examples/teapot.txt");
    std::stringstream one;
    one << in.rdbuf();
    std::string text;
    for (int i = 0; i < 32; ++i) {
        text += one.str();
    }
    const SceneReadResult read = ReadSceneText(text, "teapot.txt");
    Compare(state, nullptr, read.scene.surfaces.get());
}
BENCHMARK(BM_TeapotPatches1024)->Unit(benchmark::kMillisecond)->Iterations(7);

}  // namespace

BENCHMARK_MAIN();
