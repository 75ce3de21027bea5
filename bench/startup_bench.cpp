// Start-up to the first frame shown, for the example scene and for a 10 MB scene, and the time
// from a key press to the end of its repaint. Needs a display: xvfb-run -a startup_bench.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <QApplication>
#include <QSurfaceFormat>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/gl/surface_format.h"
#include "shell/main_frame.h"
#include "shell/scene_app.h"
#include "view/scene_view.h"

using kavelo::platform::gl::SceneSurfaceFormat;

namespace {

namespace fs = std::filesystem;

fs::path SceneDir(const std::string& name, bool large) {
    const fs::path dir = fs::temp_directory_path() / ("kavelo-startup-" + name);
    fs::create_directories(dir);
    if (large) {
        std::ofstream out(dir / "input.txt");
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
    } else {
        fs::copy_file(KAVELO_SOURCE_DIR "/examples/input.txt", dir / "input.txt",
                      fs::copy_options::overwrite_existing);
    }
    return dir;
}

double g_exampleSeconds = 0.0;

// The scene's own picture is drawn: a large scene's comes after the window's first frame.
bool PictureShown(const CSceneView& view) {
    return view.FramesDrawn() > 0 && !view.ScenePending();
}

// The rasteriser works behind the calls that queue its work: wait until the picture is filled.
void FinishDrawing(CSceneView& view) {
    view.makeCurrent();
    glFinish();
    view.doneCurrent();
}

void StartToFirstFrame(benchmark::State& state, bool large) {
    const fs::path dir = SceneDir(large ? "large" : "example", large);
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
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
    fs::current_path(previous);
}

void BM_StartToFirstFrame_Example(benchmark::State& state) {
    StartToFirstFrame(state, false);
}
void BM_StartToFirstFrame_10MB(benchmark::State& state) {
    StartToFirstFrame(state, true);
}

// A key press runs its command and the repaint before it returns; a key press that the key table
// does not translate (Shift+Right) is the baseline: Qt's own delivery of the key.
void KeyPressToRepaint(benchmark::State& state, bool large) {
    const fs::path dir = SceneDir(large ? "large" : "example", large);
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    CSceneApp app;
    app.InitInstance();
    CMainFrame* frame = app.GetMainWnd();
    CSceneView* view = frame->GetActiveView();
    if (!QTest::qWaitForWindowExposed(frame) ||
        !QTest::qWaitFor([view] { return PictureShown(*view); }, 300000)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    frame->activateWindow();
    view->setFocus();
    QApplication::processEvents();
    double keySeconds = 0.0;
    double repaintSeconds = 0.0;
    int n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        QTest::keyClick(view, (n++ % 2) == 0 ? Qt::Key_Right : Qt::Key_Left);
        FinishDrawing(*view);
        keySeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        start = std::chrono::steady_clock::now();
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        repaintSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["key_ms"] = 1000.0 * keySeconds / static_cast<double>(state.iterations());
    state.counters["vs_untranslated_key"] = keySeconds / repaintSeconds;
    app.ExitInstance();
    fs::current_path(previous);
}

void BM_KeyPressToRepaint(benchmark::State& state) {
    KeyPressToRepaint(state, false);
}
void BM_KeyPressToRepaint_10MB(benchmark::State& state) {
    KeyPressToRepaint(state, true);
}

}  // namespace

BENCHMARK(BM_StartToFirstFrame_Example)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartToFirstFrame_10MB)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_KeyPressToRepaint)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_KeyPressToRepaint_10MB)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(SceneSurfaceFormat());
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
