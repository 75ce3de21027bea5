// The tessellation as a value: made with no context, sampled as its caller says.
#include <gtest/gtest.h>

#include <string>

#include "gl_test_support.h"
#include "render/scene_compiler.h"
#include "render/scene_tessellation.h"
#include "scene/reader.h"
#include "scene/scene_file.h"

using kavelo::render::CompileProgress;
using kavelo::render::CompileSceneList;
using kavelo::render::CurrentSampling;
using kavelo::render::ResizeSampling;
using kavelo::render::SceneGeometry;
using kavelo::render::SceneListStats;
using kavelo::render::TessellateScene;

namespace {

// Before any context exists, the start-up sampling gives what a compile right after the resize
// records from the context's own matrices and viewport.
TEST(TessellateScene, WithoutAContextSamplesAsTheResizeLeavesTheContext) {
    const kavelo::scene::SceneReadResult read =
        kavelo::scene::ReadSceneFile(KAVELO_SOURCE_DIR "/examples/teapot.txt");
    const SceneGeometry geometry = TessellateScene(read.scene, ResizeSampling(320, 240));
    EXPECT_GT(geometry.patches.triangles, 0u);

    const auto gl = kavelo::test::MakeCurrentContext(320, 240);
    ASSERT_NE(gl, nullptr);
    kavelo::render::ApplyResize(320, 240);
    const SceneListStats recorded = CompileSceneList(read.scene, CurrentSampling());
    EXPECT_EQ(geometry.stats.vertices, recorded.vertices);
    EXPECT_EQ(geometry.stats.triangles, recorded.triangles);
}

// Esc during the estimates, before any item is sampled: no curve is drawn after it.
TEST(TessellateScene, AStopAskedDuringTheEstimatesDrawsNoCurve) {
    struct StopAtOnce final : CompileProgress {
        void Tessellating(const char*, std::size_t, std::size_t) override {}
        void Working() override { stopped = true; }
        bool Stopped() const override { return stopped; }
        bool stopped = false;
    } progress;
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "Curve { 0 0 0 1  1 1 0 1  2 -1 0 1  3 0 0 1 }\n";
    }
    const kavelo::scene::SceneReadResult read = kavelo::scene::ReadSceneText(text);
    const SceneGeometry geometry = TessellateScene(read.scene, ResizeSampling(320, 240), &progress);
    EXPECT_TRUE(progress.stopped);
    EXPECT_EQ(geometry.stats.items, 100u);
    EXPECT_EQ(geometry.stats.itemsDrawn, 0u);
}

}  // namespace
