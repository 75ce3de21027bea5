// The list's budget of triangles and line segments, under an extreme view and an ordinary one.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "gl_test_support.h"
#include "render/scene_compiler.h"

using kavelo::render::ApplyResize;
using kavelo::render::CompileSceneList;
using kavelo::render::SceneListStats;

namespace {

constexpr int kSide = 320;

// Thirty bulging patches and thirty arches, each about a quarter of the view across, drawn
// four times as large.
std::string ManyItems() {
    std::string text;
    for (int i = 0; i < 30; ++i) {
        const std::string z = std::to_string(i * 0.01);
        text += "S {";
        for (int k = 0; k < 16; ++k) {
            const bool inner = k / 4 % 3 != 0 && k % 4 % 3 != 0;
            text += " " + std::to_string((k / 4) * 0.15 - 0.2) + " " +
                    std::to_string((k % 4) * 0.15 - 0.2) + " " + (inner ? "0.3" : z) + " 1";
        }
        text += " }\nC { -0.3 0 " + z + " 1 -0.1 0.4 0 1 0.1 0.4 0 1 0.3 0 0 1 }\n";
    }
    return text;
}

TEST(TriangleBudget, ScalesEveryItemOnlyWhenTheEstimateExceedsIt) {
    auto gl = kavelo::test::MakeCurrentContext(kSide, kSide);
    ASSERT_NE(gl, nullptr);
    const kavelo::scene::SceneLists scene = kavelo::test::SceneFromText(ManyItems());
    auto compile = [&](double scale, std::size_t budget) {
        ApplyResize(kSide, kSide);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glScaled(scale, scale, scale);
        return CompileSceneList(scene, kavelo::render::CurrentSampling(), nullptr, budget);
    };
    auto primitives = [](const SceneListStats& s) {
        return s.triangles + (s.vertices - 3 * s.triangles) / 2;
    };

    const SceneListStats ordinary = compile(4.0, 1'000'000);
    EXPECT_FALSE(ordinary.budgetApplied);
    // A budget the ordinary view keeps to changes nothing.
    const SceneListStats roomy = compile(4.0, primitives(ordinary) * 2);
    EXPECT_FALSE(roomy.budgetApplied);
    EXPECT_EQ(roomy.vertices, ordinary.vertices);

    for (const double scale : {4.0, 1e9}) {
        const std::size_t budget = primitives(ordinary) / 3;
        const SceneListStats tight = compile(scale, budget);
        EXPECT_TRUE(tight.budgetApplied) << scale;
        EXPECT_LE(primitives(tight), budget) << scale;
        // Coarser, not cut short: every item is drawn, and most of the budget is used.
        EXPECT_GT(primitives(tight), budget / 3) << scale;
        EXPECT_EQ(tight.itemsDrawn, 60u) << scale;
        EXPECT_EQ(tight.items, 60u) << scale;
        EXPECT_FALSE(tight.outOfMemory) << scale;
    }
    // Items too small to see still take GLU's least sampling: counted at that, a budget below it
    // makes them all coarser instead of leaving the last ones out.
    const SceneListStats tiny = compile(0.01, 180);
    EXPECT_TRUE(tiny.budgetApplied);
    EXPECT_EQ(tiny.itemsDrawn, 60u);
    // Fewer primitives than items: some are left out, and the diagnostic says how many remain.
    const SceneListStats cut = compile(4.0, 20);
    EXPECT_LT(cut.itemsDrawn, 60u);
    EXPECT_NE(kavelo::render::CompileDiagnostic(cut).find(" of 60 items drawn"), std::string::npos);
}

// Polygons have no coarser form: their triangles take the budget first, and past it the
// polygons and every item after them are left out and counted, never drawn beyond it.
TEST(TriangleBudget, PolygonsTakeTheBudgetFirstAndPastItAreLeftOutAndCounted) {
    std::string text;
    for (int i = 0; i < 8; ++i) {
        text += "P (0 0 1) { 0 0 0 1  1 0 0 1  1 1 0 1  0 1 0 1 }\n";
    }
    text += "C { -0.3 0 0 1 -0.1 0.4 0 1 0.1 0.4 0 1 0.3 0 0 1 }\n";
    const kavelo::scene::SceneLists scene = kavelo::test::SceneFromText(text);
    const SceneListStats stats =
        kavelo::render::TessellateScene(scene, kavelo::render::ResizeSampling(kSide, kSide),
                                        nullptr, 11)
            .stats;
    EXPECT_TRUE(stats.budgetApplied);
    EXPECT_EQ(stats.triangles, 10u);
    EXPECT_EQ(stats.vertices, 30u);
    EXPECT_EQ(kavelo::render::CompileDiagnostic(stats),
              "More items than the budget of 300,000 triangles and segments: 5 of 9 items drawn");
}

}  // namespace

namespace {}  // namespace
