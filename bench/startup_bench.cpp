// Start-up to the first frame shown, for the example scene and for a 10 MB scene; the time, page
// faults and CPU from a key press to the end of its repaint, on the example scene, the teapot,
// 1,000 patches, 10,000 small patches and the 10 MB scene, with what resident memory and the heap
// grew by over the presses, the first presses apart; the same keys on the example and the teapot
// with the program's own handlers in; and resident memory after Restarts.
// Needs a display: xvfb-run -a startup_bench. KAVELO_BENCH_DEFAULT_HEAP=1 runs the viewer on
// glibc's default heap.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <malloc.h>

#include <QApplication>
#include <QSurfaceFormat>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "frame_cost.h"
#include "platform/framework/termination.h"
#include "platform/gl/surface_format.h"
#include "shell/main_frame.h"
#include "shell/scene_app.h"
#include "view/scene_view.h"

using kavelo::bench::ConfigureBenchHeap;
using kavelo::bench::PatchGridText;
using kavelo::bench::Usage;
using kavelo::platform::framework::CloseWindowsOnTermination;
using kavelo::platform::gl::SceneSurfaceFormat;

namespace {

namespace fs = std::filesystem;

enum Scene { kExample, kTeapot, kPatches, kSmallPatches, kLarge };

std::string LargeSceneText() {
    std::ostringstream out;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> c(-3.0, 3.0);
    while (out.tellp() < (10 << 20)) {
        out << "P (0 0 1) {";
        for (int k = 0; k < 3; ++k) {
            out << ' ' << c(random) << ' ' << c(random) << ' ' << c(random) << " 1";
        }
        out << " }\nS {";
        for (int k = 0; k < 16; ++k) {
            out << ' ' << (k % 4) - 1.5 + c(random) * 0.1 << ' ' << (k / 4) - 1.5 << ' '
                << c(random) * 0.2 << " 1";
        }
        out << " }\n";
    }
    return out.str();
}

// A folder of its own holding the scene as input.txt.
fs::path SceneDir(Scene scene) {
    static const char* const names[] = {"example", "teapot", "patches", "small-patches", "large"};
    const fs::path dir =
        fs::temp_directory_path() / ("kavelo-startup-" + std::string(names[scene]));
    fs::create_directories(dir);
    if (scene == kExample || scene == kTeapot) {
        fs::copy_file(scene == kExample ? KAVELO_SOURCE_DIR "/examples/input.txt"
                                        : KAVELO_SOURCE_DIR "/examples/teapot.txt",
                      dir / "input.txt", fs::copy_options::overwrite_existing);
    } else {
        std::ofstream(dir / "input.txt", std::ios::binary)
            << (scene == kLarge     ? LargeSceneText()
                : scene == kPatches ? PatchGridText(40, 25, 10.0)
                                    : PatchGridText(100, 100, 0.5));
    }
    return dir;
}

double g_exampleSeconds = 0.0;

// The scene's own picture is drawn: a large scene's comes after the window's first frame.
bool PictureShown(const CSceneView& view) {
    return view.FramesDrawn() > 0 && !view.ScenePending();
}

// The scene's folder is the current one for the life of the scope, also on an early return.
class InFolder {
  public:
    explicit InFolder(const fs::path& dir) : m_previous(fs::current_path()) {
        fs::current_path(dir);
    }
    ~InFolder() { fs::current_path(m_previous); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

  private:
    fs::path m_previous;
};

// The rasteriser works behind the calls that queue its work: wait until the picture is filled.
void FinishDrawing(CSceneView& view) {
    view.makeCurrent();
    glFinish();
    view.doneCurrent();
}

void StartToFirstFrame(benchmark::State& state, bool large) {
    const InFolder folder(SceneDir(large ? kLarge : kExample));
    double total = 0.0;
    double picture = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CSceneApp app;
        app.InitInstance();
        CSceneView* view = app.GetMainWnd()->GetActiveView();
        if (!QTest::qWaitForWindowExposed(app.GetMainWnd()) ||
            !QTest::qWaitFor([view] { return view->FramesDrawn() > 0; }, 60000)) {
            state.SkipWithError("no frame was shown");
            break;
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!QTest::qWaitFor([view] { return PictureShown(*view); }, 300000)) {
            state.SkipWithError("no picture was shown");
            break;
        }
        FinishDrawing(*view);
        picture += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        app.ExitInstance();
        QApplication::processEvents();
    }
    state.counters["picture_seconds"] = picture / static_cast<double>(state.iterations());
    const double perRun = total / static_cast<double>(state.iterations());
    if (!large) {
        g_exampleSeconds = perRun;
    } else if (g_exampleSeconds > 0.0) {
        state.counters["vs_example_scene"] = perRun / g_exampleSeconds;
    }
    state.counters["seconds"] = perRun;
}

void BM_StartToFirstFrame_Example(benchmark::State& state) {
    StartToFirstFrame(state, false);
}
void BM_StartToFirstFrame_10MB(benchmark::State& state) {
    StartToFirstFrame(state, true);
}

// The viewer opened on `scene` in its folder, its picture shown; null if it was not.
CMainFrame* OpenViewer(CSceneApp& app, benchmark::State& state) {
    app.InitInstance();
    CMainFrame* frame = app.GetMainWnd();
    CSceneView* view = frame->GetActiveView();
    if (!QTest::qWaitForWindowExposed(frame) ||
        !QTest::qWaitFor([view] { return PictureShown(*view); }, 300000)) {
        state.SkipWithError("the window was not shown");
        return nullptr;
    }
    frame->activateWindow();
    view->setFocus();
    QApplication::processEvents();
    return frame;
}

// The viewer's resident memory once the picture shows, and after each of its Restarts.
double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0.0;
}

constexpr int kWarmUpKeys = 10;

// The viewer allocates once, over its first keys, what later keys reuse (3-6 MB on the teapot,
// 8-11 MB on 1,000 patches, on glibc's own heap as on ours; now and then only after these ten):
// counted apart, so that the figures per key are those of the steady state. Returns their faults
// and CPU.
Usage WarmUp(CSceneView& view) {
    const Usage start = Usage::Now();
    for (int k = 0; k < kWarmUpKeys; ++k) {
        QTest::keyClick(&view, k % 2 == 0 ? Qt::Key_Right : Qt::Key_Left);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        FinishDrawing(view);
        QApplication::processEvents();
    }
    return Usage::Now() - start;
}

// A key press runs its command and the repaint before it returns; a key press that the key table
// does not translate (Shift+Right) is the baseline: Qt's own delivery of the key. Faults and CPU
// are those of the key and its repaint, of every thread.
void KeyPressToRepaint(benchmark::State& state, Scene scene) {
    const InFolder folder(SceneDir(scene));
    CSceneApp app;
    CMainFrame* frame = OpenViewer(app, state);
    if (frame == nullptr) {
        return;
    }
    CSceneView* view = frame->GetActiveView();
    const double residentShown = ResidentMegabytes();
    const double heapShown = static_cast<double>(mallinfo2().uordblks);
    const Usage warmUp = WarmUp(*view);
    double keySeconds = 0.0;
    double repaintSeconds = 0.0;
    Usage key;
    const double residentBefore = ResidentMegabytes();
    const double heapBefore = static_cast<double>(mallinfo2().uordblks);
    const double heapHeld = static_cast<double>(mallinfo2().arena + mallinfo2().hblkhd);
    int n = 0;
    for (auto _ : state) {
        const Usage before = Usage::Now();
        auto start = std::chrono::steady_clock::now();
        QTest::keyClick(view, (n++ % 2) == 0 ? Qt::Key_Right : Qt::Key_Left);
        FinishDrawing(*view);
        keySeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        key += Usage::Now() - before;
        state.PauseTiming();
        start = std::chrono::steady_clock::now();
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        repaintSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    const auto keys = static_cast<double>(state.iterations());
    state.counters["key_ms"] = 1000.0 * keySeconds / keys;
    state.counters["vs_untranslated_key"] = keySeconds / repaintSeconds;
    state.counters["faults_per_key"] = key.faults / keys;
    state.counters["cpu_ms_per_key"] = 1000.0 * key.cpuSeconds / keys;
    state.counters["warm_up_faults"] = warmUp.faults;
    state.counters["warm_up_resident_MB"] = residentBefore - residentShown;
    state.counters["warm_up_heap_in_use_MB"] = (heapBefore - heapShown) / (1 << 20);
    state.counters["resident_growth_MB"] = ResidentMegabytes() - residentBefore;
    state.counters["heap_in_use_growth_MB"] =
        (static_cast<double>(mallinfo2().uordblks) - heapBefore) / (1 << 20);
    state.counters["heap_held_growth_MB"] =
        (static_cast<double>(mallinfo2().arena + mallinfo2().hblkhd) - heapHeld) / (1 << 20);
    app.ExitInstance();
}

void BM_KeyPressToRepaint(benchmark::State& state) {
    KeyPressToRepaint(state, static_cast<Scene>(state.range(0)));
}

// As above, after the program's own handlers are in: each paint of the window then holds the X
// server and asks whether the window is still there. Runs after the keys without them, its
// baseline.
void BM_KeyPressToRepaint_Guarded(benchmark::State& state) {
    static const bool installed = CloseWindowsOnTermination();
    if (!installed) {
        state.SkipWithError("the handlers could not be installed");
        return;
    }
    KeyPressToRepaint(state, static_cast<Scene>(state.range(0)));
}

void BM_ResidentAfterRestart(benchmark::State& state) {
    const InFolder folder(SceneDir(static_cast<Scene>(state.range(0))));
    CSceneApp app;
    CMainFrame* frame = OpenViewer(app, state);
    if (frame == nullptr) {
        return;
    }
    state.counters["shown_MB"] = ResidentMegabytes();
    for (auto _ : state) {
        frame->GetActiveView()->OnFileRestart();
        FinishDrawing(*frame->GetActiveView());
    }
    state.counters["restarted_MB"] = ResidentMegabytes();
    app.ExitInstance();
}

}  // namespace

BENCHMARK(BM_StartToFirstFrame_Example)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartToFirstFrame_10MB)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_KeyPressToRepaint)
    ->ArgName("example_teapot_1000patches_10000small")
    ->DenseRange(kExample, kSmallPatches)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);
BENCHMARK(BM_KeyPressToRepaint)
    ->ArgName("large")
    ->Arg(kLarge)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_ResidentAfterRestart)
    ->ArgName("teapot_1000patches_10000small_large")
    ->DenseRange(kTeapot, kLarge)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Last: the handlers stay in for the rest of the process.
BENCHMARK(BM_KeyPressToRepaint_Guarded)
    ->ArgName("example_teapot")
    ->DenseRange(kExample, kTeapot)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

int main(int argc, char** argv) {
    ConfigureBenchHeap();
    QSurfaceFormat::setDefaultFormat(SceneSurfaceFormat());
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
