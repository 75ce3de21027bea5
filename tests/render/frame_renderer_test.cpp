// The frame: its matrices and fixed state, and the pictures they give on scenes made for them.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "gl_test_support.h"
#include "render/frame_renderer.h"

using kavelo::render::ProjectionMatrix;
using kavelo::render::RenderSceneFrame;
using kavelo::render::ShiftMatrix;
using kavelo::scene::ReadSceneFile;
using kavelo::scene::SceneLists;
using kavelo::scene::SceneReadResult;

namespace {

using kavelo::test::Box;
using kavelo::test::IdentityView;
using kavelo::test::LitBox;
using kavelo::test::Picture;
using kavelo::test::Rgb;
using kavelo::test::SceneFromText;

using Matrix = std::array<double, 16>;  // column-major

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            for (int k = 0; k < 4; ++k) {
                m[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
            }
        }
    }
    return m;
}

Matrix Diagonal(double x, double y, double z) {
    return {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1};
}

// Rotation by `degrees` about the coordinate axis `axis` (0 x, 1 y, 2 z), counter-clockwise
// when the axis points at the viewer.
Matrix Rotation(double degrees, int axis) {
    const double c = std::cos(degrees * std::numbers::pi / 180.0);
    const double s = std::sin(degrees * std::numbers::pi / 180.0);
    Matrix m = Diagonal(1, 1, 1);
    const int a = (axis + 1) % 3;  // the plane turned: a toward b
    const int b = (axis + 2) % 3;
    m[a * 4 + a] = c;
    m[a * 4 + b] = s;
    m[b * 4 + a] = -s;
    m[b * 4 + b] = c;
    return m;
}

Matrix Translation(double x, double y) {
    Matrix m = Diagonal(1, 1, 1);
    m[12] = x;
    m[13] = y;
    return m;
}

TEST(FrameMatrices, ProjectionAndShiftElements) {
    const Matrix p = ProjectionMatrix(0.25);
    for (int i = 0; i < 16; ++i) {
        const double want = (i == 3 || i == 7 || i == 11) ? 0.25 : (i % 5 == 0 ? 1.0 : 0.0);
        EXPECT_EQ(p[i], want) << "projection element " << i;
    }
    const Matrix s = ShiftMatrix(0.3, -0.7);
    for (int i = 0; i < 16; ++i) {
        const double want = i == 12 ? 0.3 : i == 13 ? -0.7 : (i % 5 == 0 ? 1.0 : 0.0);
        EXPECT_EQ(s[i], want) << "shift element " << i;
    }
}

class FrameTest : public ::testing::Test {
  protected:
    void Open(int width, int height) {
        m_view = kavelo::test::OpenRenderer(width, height);
        ASSERT_NE(m_view.gl, nullptr);
    }
    void Compile(const SceneLists& scene) const { m_view.Compile(scene); }
    Picture Draw(const ViewParams& p) const { return m_view.Draw(p); }

    kavelo::test::HeadlessRenderer m_view;
};

std::array<double, 16> Get(GLenum what) {
    std::array<double, 16> m{};
    glGetDoublev(what, m.data());
    return m;
}

TEST_F(FrameTest, ResizeStoresEverySizeAndTouchesGLOnlyForPositiveOnes) {
    ASSERT_NO_FATAL_FAILURE(Open(64, 48));
    glMatrixMode(GL_PROJECTION);
    glTranslated(1, 2, 3);
    glMatrixMode(GL_MODELVIEW);
    glViewport(1, 2, 3, 4);
    glEnable(0xFFFFu);  // a pending error, which the checkpoint clears

    m_view.Resize(120, 80);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    EXPECT_EQ(Get(GL_PROJECTION_MATRIX), Diagonal(1, 1, 1));
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 120, 80}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    for (const std::array<int, 2>& size : {std::array<int, 2>{0, 80}, std::array<int, 2>{120, 0}}) {
        glMatrixMode(GL_MODELVIEW);
        glViewport(5, 6, 7, 8);
        m_view.Resize(size[0], size[1]);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<GLint, 4>{5, 6, 7, 8}));
        // The next frame sets a viewport of the stored size.
        Compile(SceneFromText(""));
        Draw(IdentityView());
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, size[0], size[1]}));
    }
}

TEST_F(FrameTest, FrameBuildsBothMatricesAndTheFixedState) {
    ASSERT_NO_FATAL_FAILURE(Open(160, 100));
    Compile(SceneFromText(""));
    ViewParams p = IdentityView();
    p.m_dShiftX = 0.1;
    p.m_dShiftY = -0.2;
    p.m_dStretchX = 0.8;
    p.m_dStretchY = 1.2;
    p.m_dStretchZ = -0.6;
    p.m_dAngleX = 30;
    p.m_dAngleY = -50;
    p.m_dAngleZ = 70;
    p.m_dPerspective = 0.3;
    // Whatever an earlier frame left must not survive into this one.
    glMatrixMode(GL_MODELVIEW);
    glTranslated(5, 5, 5);
    RenderSceneFrame(p, 150, 90);

    const Matrix projection = Get(GL_PROJECTION_MATRIX);
    const Matrix modelView = Get(GL_MODELVIEW_MATRIX);
    const Matrix wantProjection = ProjectionMatrix(0.3);
    // T * S * Rx * Ry * Rz: turned about z first, then y, then x, then scaled, then shifted.
    const Matrix wantModelView = Multiply(
        Multiply(
            Multiply(Multiply(Translation(0.1, -0.2), Diagonal(0.4, 0.6, -0.3)), Rotation(30, 0)),
            Rotation(-50, 1)),
        Rotation(70, 2));
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(projection[i], wantProjection[i], 1e-6) << "projection element " << i;
        EXPECT_NEAR(modelView[i], wantModelView[i], 1e-6) << "model-view element " << i;
    }
    GLint ints[4] = {};
    glGetIntegerv(GL_VIEWPORT, ints);
    EXPECT_EQ(ints[2], 150);
    EXPECT_EQ(ints[3], 90);
    glGetIntegerv(GL_MATRIX_MODE, ints);
    EXPECT_EQ(ints[0], GL_MODELVIEW);

    for (GLenum cap :
         {GL_LIGHTING, GL_LIGHT0, GL_DEPTH_TEST, GL_COLOR_MATERIAL, GL_AUTO_NORMAL, GL_NORMALIZE}) {
        EXPECT_TRUE(glIsEnabled(cap)) << "capability 0x" << std::hex << cap;
    }
    glGetIntegerv(GL_DEPTH_FUNC, ints);
    EXPECT_EQ(ints[0], GL_LEQUAL);
    glGetIntegerv(GL_COLOR_MATERIAL_FACE, ints);
    EXPECT_EQ(ints[0], GL_FRONT);
    glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, ints);
    EXPECT_EQ(ints[0], GL_AMBIENT_AND_DIFFUSE);

    GLfloat v[4] = {};
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);
    EXPECT_EQ((std::array<GLfloat, 4>{v[0], v[1], v[2], v[3]}),
              (std::array<GLfloat, 4>{1, 1, 1, 1}));
    glGetMaterialfv(GL_FRONT, GL_SHININESS, v);
    EXPECT_EQ(v[0], 100.0f);
    glGetMaterialfv(GL_BACK, GL_SPECULAR, v);
    EXPECT_EQ(v[0], 0.0f) << "the back material keeps its default";
    glGetFloatv(GL_CURRENT_COLOR, v);
    EXPECT_FLOAT_EQ(v[0], 1.0f);
    EXPECT_FLOAT_EQ(v[1], 0.14f);
    EXPECT_FLOAT_EQ(v[2], 0.6667f);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, v);
    EXPECT_EQ((std::array<GLfloat, 4>{v[0], v[1], v[2], v[3]}),
              (std::array<GLfloat, 4>{0, 0, 0, 0}));
    // Light 0 and the light model keep their defaults.
    glGetLightfv(GL_LIGHT0, GL_POSITION, v);
    EXPECT_EQ((std::array<GLfloat, 4>{v[0], v[1], v[2], v[3]}),
              (std::array<GLfloat, 4>{0, 0, 1, 0}));
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], 0.2f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A face of the cube -1..1, and one of its middle half, both at depth `z`.
std::string Square(double half, double z, const char* normal = "0 0.866 0.5") {
    const std::string h = std::to_string(half);
    const std::string m = std::to_string(-half);
    const std::string d = std::to_string(z);
    return std::string("P (") + normal + ") {" + m + " " + m + " " + d + " 1 " + h + " " + m + " " +
           d + " 1 " + h + " " + h + " " + d + " 1 " + m + " " + h + " " + d + " 1 }";
}

TEST_F(FrameTest, OrthographicCubeFillsTheViewportWhateverItsShape) {
    ASSERT_NO_FATAL_FAILURE(Open(160, 100));
    Compile(SceneFromText(Square(1.0, 0.0)));
    EXPECT_EQ(LitBox(Draw(IdentityView())), (Box{0, 0, 160, 100}));
    const Picture full = Draw(IdentityView());
    int dark = 0;
    for (int y = 0; y < full.height; ++y) {
        for (int x = 0; x < full.width; ++x) {
            dark += full.Lit(x, y) ? 0 : 1;
        }
    }
    EXPECT_EQ(dark, 0);

    // Half the cube is half of each side, however wide the window is.
    Compile(SceneFromText(Square(0.5, 0.0)));
    EXPECT_EQ(LitBox(Draw(IdentityView())), (Box{40, 25, 120, 75}));

    // Depth is clipped at the cube too.
    Compile(SceneFromText(Square(1.0, 0.99)));
    EXPECT_EQ(LitBox(Draw(IdentityView())), (Box{0, 0, 160, 100}));
    Compile(SceneFromText(Square(1.0, 1.5)));
    EXPECT_EQ(LitBox(Draw(IdentityView())), Box{});
}

TEST_F(FrameTest, PerspectiveDividesByOnePlusPTimesTheSum) {
    ASSERT_NO_FATAL_FAILURE(Open(440, 100));
    // A band whose left edge runs through eye (1, 0, 0), reaching out of the picture at right.
    Compile(SceneFromText("P (0 0.866 0.5) { 1 -0.5 0 1  3 -0.5 0 1  3 0.5 0 1  1 0.5 0 1 }"));
    ViewParams p = IdentityView();
    p.m_dPerspective = 0.1;
    const Picture picture = Draw(p);
    // x = 1 / 1.1 of the half-width right of the centre: 220 + 200 = 420.
    for (int row : {49, 50}) {
        EXPECT_FALSE(picture.Lit(419, row)) << "row " << row;
        EXPECT_TRUE(picture.Lit(420, row)) << "row " << row;
        EXPECT_TRUE(picture.Lit(439, row)) << "row " << row;
    }
    // Orthographic, the same band starts at the right edge and shows nothing.
    p.m_dPerspective = 0.0;
    EXPECT_EQ(LitBox(Draw(p)), Box{});
}

TEST_F(FrameTest, ShiftMovesByHalfTheViewportWhateverTheStretchAndTurn) {
    ASSERT_NO_FATAL_FAILURE(Open(200, 120));
    Compile(SceneFromText(
        "P (0 0.866 0.5) { -0.9 -0.9 0 1  -0.5 -0.9 0 1  -0.5 -0.5 0 1  -0.9 -0.5 0 1 }"));
    for (const std::array<double, 4>& v :
         {std::array<double, 4>{2, 2, 2, 0}, std::array<double, 4>{0.5, 1.3, 0.7, 0},
          std::array<double, 4>{1.5, 0.9, 1.1, 20}}) {
        ViewParams p = IdentityView();
        p.m_dStretchX = v[0];
        p.m_dStretchY = v[1];
        p.m_dStretchZ = v[2];
        p.m_dAngleZ = v[3];
        const Box still = LitBox(Draw(p));
        ASSERT_NE(still, Box{});
        p.m_dShiftX = 1.0;
        const Box right = LitBox(Draw(p));
        EXPECT_EQ(right, (Box{still.x0 + 100, still.y0, still.x1 + 100, still.y1}))
            << "stretch " << v[0] << " " << v[1] << " " << v[2] << ", turn " << v[3];
        p.m_dShiftX = 0.0;
        p.m_dShiftY = 1.0;
        const Box up = LitBox(Draw(p));
        EXPECT_EQ(up, (Box{still.x0, still.y0 - 60, still.x1, still.y1 - 60}))
            << "stretch " << v[0] << " " << v[1] << " " << v[2] << ", turn " << v[3];
    }
}

TEST_F(FrameTest, StretchesScaleByHalfAndNegativeOnesMirror) {
    ASSERT_NO_FATAL_FAILURE(Open(200, 120));
    Compile(SceneFromText(Square(1.0, 0.0)));
    ViewParams p = IdentityView();
    p.m_dStretchX = p.m_dStretchY = p.m_dStretchZ = 0.5;  // a quarter of the cube's size
    EXPECT_EQ(LitBox(Draw(p)), (Box{75, 45, 125, 75}));

    Compile(
        SceneFromText("P (0 0.866 0.5) { 0.2 0.1 0 1  0.8 0.1 0 1  0.8 0.5 0 1  0.2 0.5 0 1 }"));
    p = IdentityView();
    const Box plain = LitBox(Draw(p));
    EXPECT_EQ(plain, (Box{120, 30, 180, 54}));
    p.m_dStretchX = -2.0;
    EXPECT_EQ(LitBox(Draw(p)), (Box{200 - plain.x1, plain.y0, 200 - plain.x0, plain.y1}));
    p.m_dStretchX = 2.0;
    p.m_dStretchY = -2.0;
    EXPECT_EQ(LitBox(Draw(p)), (Box{plain.x0, 120 - plain.y1, plain.x1, 120 - plain.y0}));
}

// The fixed-function colour of a lit face, from OpenGL's lighting equation: global ambient 0.2
// times the ambient reflectance, plus the diffuse reflectance times n.l, plus the white specular
// (n.h)^100, with light 0 shining along -z and the viewer at infinity (h = l = +z).
Rgb LitColour(double nz) {
    const double drawColour[3] = {1.0, 0.14, 0.6667};
    const double diffuse = std::max(nz, 0.0);
    const double specular = nz > 0 ? std::pow(nz, 100.0) : 0.0;
    int c[3];
    for (int i = 0; i < 3; ++i) {
        const double value = 0.2 * drawColour[i] + diffuse * drawColour[i] + specular;
        c[i] = static_cast<int>(std::lround(std::min(value, 1.0) * 255.0));
    }
    return {c[0], c[1], c[2]};
}

void ExpectColourNear(const Rgb& got, const Rgb& want, const std::string& what) {
    EXPECT_NEAR(got.r, want.r, 2) << what << ": " << got << " want " << want;
    EXPECT_NEAR(got.g, want.g, 2) << what << ": " << got << " want " << want;
    EXPECT_NEAR(got.b, want.b, 2) << what << ": " << got << " want " << want;
}

TEST_F(FrameTest, DrawColourIsAmbientAndDiffuseAndTheHighlightWhite) {
    ASSERT_NO_FATAL_FAILURE(Open(64, 64));
    for (double degrees : {0.0, 10.0, 60.0, 120.0}) {
        const double a = degrees * std::numbers::pi / 180.0;
        const std::string normal = "0 " + std::to_string(std::sin(a) * 3.0) + " " +
                                   std::to_string(std::cos(a) * 3.0);  // not of unit length
        Compile(SceneFromText(Square(1.0, 0.0, normal.c_str())));
        const Picture picture = Draw(IdentityView());
        ExpectColourNear(picture.At(32, 32), LitColour(std::cos(a)),
                         "normal turned by " + std::to_string(degrees));
    }
    // Curves carry the normal (-1, -1, -1), which faces away from the light: ambient only.
    Compile(SceneFromText("C { -0.8 -0.8 0 1  -0.3 0.9 0 1  0.3 0.9 0 1  0.8 -0.8 0 1 }"));
    const Picture curve = Draw(IdentityView());
    int drawn = 0;
    for (int y = 0; y < curve.height; ++y) {
        for (int x = 0; x < curve.width; ++x) {
            if (curve.Lit(x, y)) {
                ++drawn;
                ExpectColourNear(curve.At(x, y), LitColour(-1.0), "curve pixel");
            }
        }
    }
    EXPECT_GT(drawn, 40);
    // A surface tilted toward the light by atan(1/2), with normals made by GL_AUTO_NORMAL.
    Compile(SceneFromText(R"(S {
        -1 -1 -0.5 1  -1 -0.33 -0.165 1  -1 0.33 0.165 1  -1 1 0.5 1
        -0.33 -1 -0.5 1  -0.33 -0.33 -0.165 1  -0.33 0.33 0.165 1  -0.33 1 0.5 1
        0.33 -1 -0.5 1  0.33 -0.33 -0.165 1  0.33 0.33 0.165 1  0.33 1 0.5 1
        1 -1 -0.5 1  1 -0.33 -0.165 1  1 0.33 0.165 1  1 1 0.5 1 })"));
    ExpectColourNear(Draw(IdentityView()).At(32, 32), LitColour(1.0 / std::sqrt(1.25)), "surface");
}

TEST_F(FrameTest, EmptySceneIsBlackAndRepeatedFramesAreIdentical) {
    ASSERT_NO_FATAL_FAILURE(Open(200, 150));
    SceneReadResult example = ReadSceneFile(KAVELO_SOURCE_DIR "/examples/input.txt");
    ASSERT_FALSE(example.diagnostic.has_value());
    Compile(example.scene);
    ViewParams p;
    ResetParams(p);
    const Picture first = Draw(p);
    EXPECT_NE(LitBox(first), Box{});
    ViewParams other = p;
    other.m_dPerspective = 0.4;
    other.m_dShiftX = 0.3;
    other.m_dAngleY = 77;
    EXPECT_NE(Draw(other).rgba, first.rgba);
    EXPECT_EQ(Draw(p).rgba, first.rgba);

    Compile(SceneFromText(""));
    EXPECT_EQ(LitBox(Draw(p)), Box{});
}

}  // namespace
