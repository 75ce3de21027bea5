// The tessellation as a value: made with no context, sampled as its caller says.
#include <gtest/gtest.h>

#include <string>

#include "gl_test_support.h"
#include "render/scene_compiler.h"
#include "render/scene_tessellation.h"
#include "scene/scene_file.h"

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

}  // namespace
