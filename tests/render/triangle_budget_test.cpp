// The list's budget of triangles and line segments, under an extreme view and an ordinary one.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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
    // Fewer primitives than the items' coarsest forms: none is left out, all are at their
    // coarsest, a chord or two triangles each.
    const SceneListStats cut = compile(4.0, 20);
    EXPECT_EQ(cut.itemsDrawn, 60u);
    EXPECT_EQ(cut.triangles, 60u);
    EXPECT_EQ(cut.vertices, 3 * 60u + 2 * 30u);
    EXPECT_EQ(kavelo::render::CompileDiagnostic(cut),
              "Coarsened to fit a budget of 20: 60 of 60 items at their coarsest");
}

// Polygons have no coarser form: their triangles take the budget first, all of them; the items
// past what is left are drawn at their coarsest, never left out.
TEST(TriangleBudget, PolygonsTakeTheBudgetFirstAndTheItemsPastItAreDrawnAtTheirCoarsest) {
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
    EXPECT_EQ(stats.triangles, 16u);
    EXPECT_EQ(stats.vertices, 48u + 2u);
    EXPECT_EQ(kavelo::render::CompileDiagnostic(stats),
              "Coarsened to fit a budget of 11: 1 of 9 items at their coarsest");
}

// Where memory holds not even the coarsest list, the driver is asked for nothing: the list is
// left empty, and the diagnostic says why.
TEST(TriangleBudget, NoListIsAskedForWhenNotEvenTheCoarsestFits) {
    auto gl = kavelo::test::MakeCurrentContext(kSide, kSide);
    ASSERT_NE(gl, nullptr);
    const kavelo::scene::SceneLists scene = kavelo::test::SceneFromText(ManyItems());
    kavelo::test::Compile(scene);
    const SceneListStats stats =
        CompileSceneList(scene, kavelo::render::CurrentSampling(), nullptr, 1000, 89);
    EXPECT_EQ(stats.vertices, 0u);
    EXPECT_EQ(kavelo::render::CompileDiagnostic(stats),
              "Not enough memory for 60 items even at their coarsest: none drawn");
    std::vector<GLfloat> feedback(64);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(SCENE_LIST);
    EXPECT_EQ(glRenderMode(GL_RENDER), 0) << "the earlier list is gone";
    // One primitive more of room, and all 60 are drawn at their coarsest.
    EXPECT_FALSE(CompileSceneList(scene, kavelo::render::CurrentSampling(), nullptr, 1000, 90)
                     .notEnoughMemory);
}

// The coarsest forms: a curve's chord between its end points divided through by their weights;
// a patch's corners with their weights, lit from the side GLU's own normals face.
TEST(TriangleBudget, CoarsestFormsKeepTheEndsCornersAndTheLitSide) {
    const kavelo::scene::SceneLists scene = kavelo::test::SceneFromText(
        "C { 2 0 0 2  1 1 0 1  2 1 0 1  3 3 0 3 }\n"
        "S { 0 0 0 1  1 0 0.5 1  2 0 0.5 1  3 0 0 1  0 1 0.5 1  1 1 1 1  2 1 1 1  3 1 0.5 1 "
        "    0 2 0.5 1  1 2 1 1  2 2 1 1  3 2 0.5 1  0 6 0 2  1 3 0.5 1  2 3 0.5 1  6 6 0 2 }\n");
    const auto sampling = kavelo::render::SceneUnitSampling(0.01);
    const auto coarsest = kavelo::render::TessellateScene(scene, sampling, nullptr, 1);
    EXPECT_EQ(coarsest.curves.vertices, (std::vector<float>{1, 0, 0, 1, 1, 1, 0, 1}));
    const auto& p = coarsest.patches;
    ASSERT_EQ(p.VertexCount(), 6u);
    EXPECT_EQ(std::vector<float>(p.vertices.begin() + 4, p.vertices.begin() + 12),
              (std::vector<float>{3, 0, 0, 1, 6, 6, 0, 2}));
    // GLU's normals at the corners, from the finest sampling, against the coarsest ones.
    const auto fine = kavelo::render::TessellateScene(scene, sampling, nullptr, 1'000'000).patches;
    for (std::size_t c = 0; c < 6; ++c) {
        const float* at = &p.vertices[4 * c];
        for (std::size_t v = 0; v < fine.VertexCount(); ++v) {
            const float* f = &fine.vertices[4 * v];
            if (std::abs(f[0] / f[3] - at[0] / at[3]) + std::abs(f[1] / f[3] - at[1] / at[3]) <
                1e-4f) {
                const float* n = &fine.normals[3 * v];
                const float* m = &p.normals[3 * c];
                EXPECT_GT(n[0] * m[0] + n[1] * m[1] + n[2] * m[2], 0.0f) << c;
            }
        }
    }
}

}  // namespace

namespace {}  // namespace
