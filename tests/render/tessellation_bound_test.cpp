// However large the matrices make an item, its tessellation stays within a fixed size.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl_test_support.h"
#include "render/nurbs_tessellation.h"

using kavelo::render::ApplyResize;
using kavelo::render::CurrentSampling;
using kavelo::render::kMaxCurveVertices;
using kavelo::render::kMaxPatchVertices;
using kavelo::render::ProjectionMatrix;
using kavelo::render::TessellateCurve;
using kavelo::render::TessellatePatch;
using kavelo::render::Tessellation;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// A bulging patch over the unit square and an arched curve, both with a heavy middle.
void Patch(GLfloat* control) {
    for (int i = 0; i < 16; ++i) {
        const int s = i / 4;
        const int t = i % 4;
        const GLfloat w = (s % 3 != 0 && t % 3 != 0) ? 3.0f : 1.0f;
        control[4 * i] = (-0.5f + s / 3.0f) * w;
        control[4 * i + 1] = (-0.5f + t / 3.0f) * w;
        control[4 * i + 2] = (s % 3 != 0 && t % 3 != 0 ? 0.5f : 0.0f) * w;
        control[4 * i + 3] = w;
    }
}

constexpr GLfloat kCurve[16] = {-0.5f, 0, 0, 1, -1, 2, 0, 2, 1, 2, 0, 2, 0.5f, 0, 0, 1};

struct View {
    const char* name;
    double scale;        // of the model-view matrix
    double perspective;  // the frame's projection
};

TEST(TessellationBound, ItemsStayWithinTheBoundUnderAnyMatrix) {
    auto gl = kavelo::test::MakeCurrentContext(kWidth, kHeight);
    ASSERT_NE(gl, nullptr);
    GLfloat patch[64];
    Patch(patch);
    const View views[] = {
        {"ordinary", 1.0, 0.0},
        {"stretch 1e9", 1e9, 0.0},
        // The eye's plane 1 + p (x + y + z) = 0 runs through the middle of both items.
        {"at the pole", 1.0, -2.0},
        {"stretch 1e9 and the pole", 1e9, 0.5},
    };
    std::size_t ordinaryPatch = 0;
    for (const View& v : views) {
        ApplyResize(kWidth, kHeight);
        const auto projection = ProjectionMatrix(v.perspective);
        glMultMatrixd(projection.data());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glScaled(v.scale, v.scale, v.scale);

        Tessellation surface;
        const std::size_t patchVertices = TessellatePatch(CurrentSampling(), patch, 4, surface);
        EXPECT_GT(patchVertices, 0u) << v.name;
        EXPECT_LE(patchVertices, kMaxPatchVertices) << v.name;
        EXPECT_EQ(surface.VertexCount(), patchVertices) << v.name;
        EXPECT_EQ(surface.normals.size(), 3 * patchVertices) << v.name;

        Tessellation lines;
        const std::size_t curveVertices = TessellateCurve(CurrentSampling(), kCurve, 4, lines);
        EXPECT_GT(curveVertices, 1u) << v.name;
        EXPECT_LE(curveVertices, kMaxCurveVertices) << v.name;
        if (ordinaryPatch == 0) {
            ordinaryPatch = patchVertices;
        } else {
            // Out of bounds, the fixed grid takes over: finer than the ordinary view's sampling.
            EXPECT_GT(patchVertices, ordinaryPatch) << v.name;
        }
    }
    // The ordinary view is far from the bound, so GLU's own sampling holds there.
    EXPECT_LT(ordinaryPatch, kMaxPatchVertices / 8);
}

}  // namespace
