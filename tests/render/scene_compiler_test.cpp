// The scene display list, seen through feedback mode: what one replay of list 1 draws.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gl_test_support.h"
#include "render/scene_compiler.h"
#include "scene/list_builder.h"

using kavelo::platform::gl::HeadlessGLContext;
using kavelo::render::ApplyResize;
using kavelo::render::CompileSceneList;
using kavelo::scene::SceneList;
using kavelo::scene::SceneListBuilder;
using kavelo::scene::SceneLists;

namespace {

using kavelo::test::Compile;
using kavelo::test::FeedbackPrimitive;
using kavelo::test::ReplayInFeedback;
using kavelo::test::SceneFromText;
using kavelo::test::ToWindow;

constexpr int kWidth = 400;
constexpr int kHeight = 400;

class SceneCompilerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_gl = kavelo::test::MakeCurrentContext(kWidth, kHeight);
        ASSERT_NE(m_gl, nullptr);
        // Compile and replay under identity matrices: scene x, y are device coordinates.
        ApplyResize(kWidth, kHeight);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    std::unique_ptr<HeadlessGLContext> m_gl;
};

bool Near(const std::array<float, 3>& v, double x, double y, double tolerance = 0.01) {
    const auto w = ToWindow(x, y, kWidth, kHeight);
    return std::fabs(v[0] - w[0]) <= tolerance && std::fabs(v[1] - w[1]) <= tolerance;
}

// Which part of the test scene a primitive lies in, by its kind and where its vertices are.
char Region(const FeedbackPrimitive& p) {
    auto all = [&p](double x0, double x1, double y0, double y1) {
        for (const auto& v : p.vertices) {
            const auto lo = ToWindow(x0, y0, kWidth, kHeight);
            const auto hi = ToWindow(x1, y1, kWidth, kHeight);
            if (v[0] < lo[0] - 0.5f || v[0] > hi[0] + 0.5f || v[1] < lo[1] - 0.5f ||
                v[1] > hi[1] + 0.5f) {
                return false;
            }
        }
        return true;
    };
    if (p.kind == FeedbackPrimitive::kPolygon && all(-0.9, -0.7, 0.7, 0.9)) {
        return 'A';
    }
    if (p.kind == FeedbackPrimitive::kPolygon && all(-0.6, -0.4, 0.7, 0.9)) {
        return 'B';
    }
    if (p.kind == FeedbackPrimitive::kLine && all(-0.9, -0.1, -0.3, 0.3)) {
        return '1';
    }
    if (p.kind == FeedbackPrimitive::kLine && all(0.1, 0.9, -0.3, 0.3)) {
        return '2';
    }
    if (p.kind == FeedbackPrimitive::kPolygon && all(-0.9, 0.9, -0.9, -0.5)) {
        return 'S';
    }
    return '?';
}

// Runs of equal regions, each run once: "AB12S" for polygon A, polygon B, curve 1, curve 2,
// then the surface.
std::string RegionRuns(const std::vector<FeedbackPrimitive>& primitives) {
    std::string runs;
    for (const FeedbackPrimitive& p : primitives) {
        const char r = Region(p);
        if (runs.empty() || runs.back() != r) {
            runs += r;
        }
    }
    return runs;
}

TEST_F(SceneCompilerTest, PolygonsComeBeforeCurvesBeforeSurfacesWhateverTheFileOrder) {
    const SceneLists scene = SceneFromText(R"(
        S {
            -0.9 -0.9 0 1  -0.3 -0.9 0 1  0.3 -0.9 0 1  0.9 -0.9 0 1
            -0.9 -0.8 0 1  -0.3 -0.8 0 1  0.3 -0.8 0 1  0.9 -0.8 0 1
            -0.9 -0.6 0 1  -0.3 -0.6 0 1  0.3 -0.6 0 1  0.9 -0.6 0 1
            -0.9 -0.5 0 1  -0.3 -0.5 0 1  0.3 -0.5 0 1  0.9 -0.5 0 1 }
        C { -0.9 0 0 1  -0.6 0.3 0 1  -0.4 -0.3 0 1  -0.1 0 0 1 }
        P (0 0 1) { -0.9 0.7 0 1  -0.7 0.7 0 1  -0.7 0.9 0 1  -0.9 0.9 0 1 }
        C { 0.1 0 0 1  0.4 0.3 0 1  0.6 -0.3 0 1  0.9 0 0 1 }
        P (0 0 1) { -0.6 0.7 0 1  -0.4 0.7 0 1  -0.4 0.9 0 1  -0.6 0.9 0 1 }
    )");
    Compile(scene);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::vector<FeedbackPrimitive> primitives = ReplayInFeedback();
    EXPECT_EQ(RegionRuns(primitives), "AB12S");
}

// The distinct window positions among the vertices drawn, rounded to 1/100 pixel. Feedback
// shows a polygon as the triangles the pipeline cut it into, so a quad shows as two triangles
// that share two of its corners.
std::set<std::pair<long, long>> Corners(const std::vector<FeedbackPrimitive>& primitives) {
    std::set<std::pair<long, long>> corners;
    for (const FeedbackPrimitive& p : primitives) {
        for (const auto& v : p.vertices) {
            corners.insert({std::lround(v[0] * 100.0f), std::lround(v[1] * 100.0f)});
        }
    }
    return corners;
}

std::set<std::pair<long, long>> CornersAt(std::initializer_list<std::array<double, 2>> points) {
    std::set<std::pair<long, long>> corners;
    for (const auto& p : points) {
        const auto w = ToWindow(p[0], p[1], kWidth, kHeight);
        corners.insert({std::lround(w[0] * 100.0f), std::lround(w[1] * 100.0f)});
    }
    return corners;
}

TEST_F(SceneCompilerTest, PolygonDrawsItsCountOfVerticesAndIgnoresTheirW) {
    const SceneLists plain =
        SceneFromText("P (0 0 1) { -0.5 -0.5 0 1   0.5 -0.5 0 1   0.5 0.5 0 1   -0.5 0.5 0 1 }");
    Compile(plain);
    const std::vector<FeedbackPrimitive> drawn = ReplayInFeedback();
    ASSERT_FALSE(drawn.empty());
    for (const FeedbackPrimitive& p : drawn) {
        EXPECT_EQ(p.kind, FeedbackPrimitive::kPolygon);
    }
    EXPECT_EQ(Corners(drawn), CornersAt({{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}}));

    const SceneLists weighted = SceneFromText(
        "P (0 0 1) { -0.5 -0.5 0 7   0.5 -0.5 0 -2   0.5 0.5 0 0   -0.5 0.5 0 0.001 }");
    Compile(weighted);
    const std::vector<FeedbackPrimitive> again = ReplayInFeedback();
    ASSERT_EQ(again.size(), drawn.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(again[i].vertices, drawn[i].vertices);
    }

    // Three vertices read: the fourth slot holds no data and must not be drawn.
    SceneLists triangle = SceneFromText("P (0 0 1) { -0.5 -0.5 0 1   0.5 -0.5 0 1   0 0.5 0 1 }");
    triangle.polygons->vertices[3] = {0.9, 0.9, 0.0, 1.0};
    Compile(triangle);
    EXPECT_EQ(Corners(ReplayInFeedback()), CornersAt({{-0.5, -0.5}, {0.5, -0.5}, {0.0, 0.5}}));
}

TEST_F(SceneCompilerTest, NormalsArePolygonsOwnThenMinusOnesForEveryCurve) {
    float normal[3] = {};
    // Stored as read, not normalised (the frame normalises).
    Compile(SceneFromText("P (0.2 0.3 5) { 0 0 0 1  0.1 0 0 1  0.1 0.1 0 1 }"));
    glNormal3f(9.0f, 9.0f, 9.0f);
    glCallList(SCENE_LIST);
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[0], 0.2f);
    EXPECT_FLOAT_EQ(normal[1], 0.3f);
    EXPECT_FLOAT_EQ(normal[2], 5.0f);

    Compile(
        SceneFromText("C { 0 0 0 1  0.1 0.2 0 1  0.2 0 0 1  0.3 0.1 0 1 }"
                      "P (0 0 1) { 0 0 0 1  0.1 0 0 1  0.1 0.1 0 1 }"));
    glCallList(SCENE_LIST);
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[0], -1.0f);
    EXPECT_FLOAT_EQ(normal[1], -1.0f);
    EXPECT_FLOAT_EQ(normal[2], -1.0f);
}

TEST_F(SceneCompilerTest, EmptySceneCompilesAnEmptyListAndRecompilingReplacesIt) {
    Compile(SceneFromText("P (0 0 1) { -0.8 0 0 1  -0.6 0 0 1  -0.6 0.2 0 1 }"));
    EXPECT_EQ(Corners(ReplayInFeedback()), CornersAt({{-0.8, 0.0}, {-0.6, 0.0}, {-0.6, 0.2}}));

    Compile(SceneFromText("P (0 0 1) { 0.6 0 0 1  0.8 0 0 1  0.8 0.2 0 1 }"));
    // Nothing of the earlier contents may remain.
    EXPECT_EQ(Corners(ReplayInFeedback()), CornersAt({{0.6, 0.0}, {0.8, 0.0}, {0.8, 0.2}}));

    Compile(SceneFromText("text without items"));
    EXPECT_TRUE(glIsList(SCENE_LIST));
    EXPECT_TRUE(ReplayInFeedback().empty());

    Compile(SceneFromText("P (0 0 1) { 0.6 0 0 1  0.8 0 0 1  0.8 0.2 0 1 }"));
    CompileSceneList({}, kavelo::render::CurrentSampling());
    EXPECT_TRUE(ReplayInFeedback().empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Window y of the highest vertex, and the first and last vertices of the line strip.
struct CurveShape {
    float top = -1e9f;
    std::array<float, 3> first{};
    std::array<float, 3> last{};
    int lines = 0;
};

CurveShape ShapeOf(const std::vector<FeedbackPrimitive>& primitives) {
    CurveShape shape;
    for (const FeedbackPrimitive& p : primitives) {
        EXPECT_EQ(p.kind, FeedbackPrimitive::kLine);
        for (const auto& v : p.vertices) {
            shape.top = std::max(shape.top, v[1]);
        }
        if (shape.lines == 0) {
            shape.first = p.vertices.front();
        }
        shape.last = p.vertices.back();
        ++shape.lines;
    }
    return shape;
}

TEST_F(SceneCompilerTest, HeavierMiddlePointsPullTheCurveTowardThem) {
    // The same four positions; the middle two weigh 1, then 4 (homogeneous: x y z scaled by w).
    Compile(SceneFromText("C { -0.8 -0.6 0 1  -0.4 0.6 0 1  0.4 0.6 0 1  0.8 -0.6 0 1 }"));
    const CurveShape light = ShapeOf(ReplayInFeedback());
    Compile(SceneFromText("C { -0.8 -0.6 0 1  -1.6 2.4 0 4  1.6 2.4 0 4  0.8 -0.6 0 1 }"));
    const CurveShape heavy = ShapeOf(ReplayInFeedback());
    ASSERT_GT(light.lines, 1);
    ASSERT_GT(heavy.lines, 1);

    // A clamped knot vector: the curve runs from the first control point to the last.
    EXPECT_TRUE(Near(light.first, -0.8, -0.6, 0.5));
    EXPECT_TRUE(Near(light.last, 0.8, -0.6, 0.5));
    EXPECT_TRUE(Near(heavy.first, -0.8, -0.6, 0.5));
    EXPECT_TRUE(Near(heavy.last, 0.8, -0.6, 0.5));

    // The top is at t = 1/2: sum of B_i w_i y_i over sum of B_i w_i, with B = 1, 3, 3, 1 (/8).
    auto top = [](double w) { return (2 * -0.6 + 6 * w * 0.6) / (2 + 6 * w); };
    const float tolerance = 3.0f;  // pixels: the chords of the tessellation lie under the arc
    EXPECT_NEAR(light.top, ToWindow(0, top(1.0), kWidth, kHeight)[1], tolerance);
    EXPECT_NEAR(heavy.top, ToWindow(0, top(4.0), kWidth, kHeight)[1], tolerance);
    EXPECT_GT(heavy.top - light.top, 30.0f);
}

// A list of one item, poisoned past its count: were those points read, the drawing would reach
// x = 50, far outside the viewport, and be cut at its right edge.
constexpr double kPoison = 50.0;

float RightmostX(const std::vector<FeedbackPrimitive>& primitives) {
    float right = -1e9f;
    for (const FeedbackPrimitive& p : primitives) {
        for (const auto& v : p.vertices) {
            right = std::max(right, v[0]);
        }
    }
    return right;
}

// A list of one item, to be filled in place.
template <class Node>
SceneList<Node> OneItemList() {
    SceneListBuilder<Node> builder;
    EXPECT_TRUE(builder.Append());
    return builder.Finish();
}

TEST_F(SceneCompilerTest, IncompleteItemsUseOnlyTheirPoints) {
    SceneList<CurveNode> curve = OneItemList<CurveNode>();
    const SceneList<SurfaceNode> noSurfaces = SceneListBuilder<SurfaceNode>().Finish();
    auto curveOf = [&](std::initializer_list<Point4> points) {
        int i = 0;
        for (const Point4& p : points) {
            curve->points[i++] = p;
        }
        curve->count = i;
        for (; i < 4; ++i) {
            curve->points[i] = {kPoison, kPoison, 0.0, 1.0};
        }
        CompileSceneList({nullptr, curve.get(), noSurfaces.get()},
                         kavelo::render::CurrentSampling());
        return ReplayInFeedback();
    };

    EXPECT_TRUE(curveOf({{-0.5, 0.0, 0.0, 1.0}}).empty());

    // Two points: the straight segment between them.
    const std::vector<FeedbackPrimitive> segment =
        curveOf({{-0.5, -0.5, 0.0, 1.0}, {0.5, 0.5, 0.0, 1.0}});
    ASSERT_FALSE(segment.empty());
    for (const FeedbackPrimitive& p : segment) {
        for (const auto& v : p.vertices) {
            EXPECT_NEAR(v[0], v[1], 0.5f) << "off the diagonal";
        }
    }
    EXPECT_LE(RightmostX(segment), ToWindow(0.5, 0, kWidth, kHeight)[0] + 0.5f);
    const CurveShape two = ShapeOf(segment);
    EXPECT_TRUE(Near(two.first, -0.5, -0.5, 0.5));
    EXPECT_TRUE(Near(two.last, 0.5, 0.5, 0.5));

    // Three points: the quadratic through the ends, its top at 1/4 P0 + 1/2 P1 + 1/4 P2.
    const std::vector<FeedbackPrimitive> arc =
        curveOf({{-0.6, -0.4, 0.0, 1.0}, {0.0, 0.8, 0.0, 1.0}, {0.6, -0.4, 0.0, 1.0}});
    const CurveShape three = ShapeOf(arc);
    ASSERT_GT(three.lines, 1);
    EXPECT_TRUE(Near(three.first, -0.6, -0.4, 0.5));
    EXPECT_TRUE(Near(three.last, 0.6, -0.4, 0.5));
    EXPECT_LE(RightmostX(arc), ToWindow(0.6, 0, kWidth, kHeight)[0] + 0.5f);
    EXPECT_NEAR(three.top, ToWindow(0, 0.2, kWidth, kHeight)[1], 3.0f);

    // Surfaces: complete rows of four only, and at least two of them.
    SceneList<SurfaceNode> surface = OneItemList<SurfaceNode>();
    auto surfaceOf = [&](int count) {
        for (int i = 0; i < 16; ++i) {
            const int s = i / 4;
            const int t = i % 4;
            surface->points[i] = i < count ? Point4{-0.6 + 0.4 * t, -0.6 + 0.4 * s, 0.0, 1.0}
                                           : Point4{kPoison, kPoison, 0.0, 1.0};
        }
        surface->count = count;
        CompileSceneList({nullptr, nullptr, surface.get()}, kavelo::render::CurrentSampling());
        return ReplayInFeedback();
    };
    for (int count : {1, 3, 4, 7}) {
        EXPECT_TRUE(surfaceOf(count).empty()) << count << " points";
    }
    for (int count : {8, 11, 12, 15, 16}) {
        const int rows = count == 16 ? 4 : count / 4;
        const double yMax = -0.6 + 0.4 * (rows - 1);
        const std::vector<FeedbackPrimitive> patch = surfaceOf(count);
        ASSERT_FALSE(patch.empty()) << count << " points";
        float top = -1e9f;
        for (const FeedbackPrimitive& p : patch) {
            EXPECT_EQ(p.kind, FeedbackPrimitive::kPolygon);
            for (const auto& v : p.vertices) {
                top = std::max(top, v[1]);
            }
        }
        EXPECT_LE(RightmostX(patch), ToWindow(0.6, 0, kWidth, kHeight)[0] + 0.5f) << count;
        EXPECT_NEAR(top, ToWindow(0, yMax, kWidth, kHeight)[1], 0.5f) << count << " points";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

// A reading tells its share of the file in whole percent, rounded down, once half a second has
// gone by.
TEST(PacedProgress, ReadingSaysThePercentOfTheFileRead) {
    std::vector<std::string> shown;
    kavelo::render::PacedProgress progress(
        [&shown](const std::string& text) { shown.push_back(text); });
    while (!progress.Shown()) {
        progress.Reading("input.txt", 399, 1000);
    }
    EXPECT_EQ(shown, std::vector<std::string>{"Reading input.txt: 39%"});
}
