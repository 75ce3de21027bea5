// Helpers of the headless GL tests: a context per test, the viewer's renderer on it, scenes from
// text, feedback capture and pixel look-ups.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "navigation/view_params.h"
#include "platform/gl/headless_gl_context.h"
#include "render/frame_renderer.h"
#include "render/scene_compiler.h"
#include "scene/scene_file.h"

namespace kavelo::test {

inline std::unique_ptr<kavelo::platform::gl::HeadlessGLContext> MakeCurrentContext(int width,
                                                                                   int height) {
    std::string error;
    std::unique_ptr<kavelo::platform::gl::HeadlessGLContext> gl =
        kavelo::platform::gl::HeadlessGLContext::Create(width, height, &error);
    EXPECT_NE(gl, nullptr) << error;
    if (gl != nullptr) {
        EXPECT_TRUE(gl->MakeCurrent());
    }
    return gl;
}

inline kavelo::scene::SceneLists SceneFromText(std::string_view text) {
    kavelo::scene::SceneReadResult read = kavelo::scene::ReadSceneText(text, "test.txt");
    EXPECT_FALSE(read.diagnostic.has_value()) << *read.diagnostic;
    return std::move(read.scene);
}

inline void Compile(const kavelo::scene::SceneLists& scene) {
    kavelo::render::CompileSceneList(scene, kavelo::render::CurrentSampling());
}

// The parameters under which scene coordinates are eye coordinates: stretches of 2 halve to a
// scale of 1, and nothing turns or moves.
inline ViewParams IdentityView() {
    ViewParams p;
    ResetParams(p);
    p.m_dStretchX = p.m_dStretchY = p.m_dStretchZ = 2.0;
    p.m_dAngleX = p.m_dAngleY = p.m_dAngleZ = 0.0;
    return p;
}

struct FeedbackPrimitive {
    enum Kind { kPoint, kLine, kPolygon } kind;
    std::vector<std::array<float, 3>> vertices;  // window x, y (from the bottom), depth
};

// What one replay of SCENE_LIST sends down the pipeline, under the matrices and viewport that the
// context holds.
inline std::vector<FeedbackPrimitive> ReplayInFeedback() {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(SCENE_LIST);
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflow";

    std::vector<FeedbackPrimitive> primitives;
    auto take = [&](GLint& at, FeedbackPrimitive::Kind kind, int count) {
        FeedbackPrimitive p{kind, {}};
        for (int i = 0; i < count && at + 3 <= used; ++i, at += 3) {
            p.vertices.push_back({buffer[at], buffer[at + 1], buffer[at + 2]});
        }
        primitives.push_back(std::move(p));
    };
    for (GLint at = 0; at < used;) {
        const auto token = static_cast<GLint>(buffer[at++]);
        switch (token) {
            case GL_POINT_TOKEN:
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                take(at, FeedbackPrimitive::kPoint, 1);
                break;
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                take(at, FeedbackPrimitive::kLine, 2);
                break;
            case GL_POLYGON_TOKEN: {
                const auto n = static_cast<int>(buffer[at++]);
                take(at, FeedbackPrimitive::kPolygon, n);
                break;
            }
            case GL_PASS_THROUGH_TOKEN:
                ++at;
                break;
            default:
                ADD_FAILURE() << "unknown feedback token " << token;
                return primitives;
        }
    }
    return primitives;
}

// Window coordinates of a point given in normalised device coordinates.
inline std::array<float, 2> ToWindow(double x, double y, int width, int height) {
    return {static_cast<float>((x + 1.0) * width / 2.0),
            static_cast<float>((y + 1.0) * height / 2.0)};
}

struct Rgb {
    int r;
    int g;
    int b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// A picture as ReadPixels gives it: RGBA8, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    Rgb At(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2]};
    }
    bool Lit(int x, int y) const { return At(x, y) != Rgb{0, 0, 0}; }
};

// Bounding box of the pixels that are not black, ends exclusive; empty when all are black.
struct Box {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    bool operator==(const Box&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "[" << b.x0 << ", " << b.x1 << ") x [" << b.y0 << ", " << b.y1 << ")";
}

inline Box LitBox(const Picture& picture) {
    Box box{picture.width, picture.height, 0, 0};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.Lit(x, y)) {
                box.x0 = std::min(box.x0, x);
                box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x + 1);
                box.y1 = std::max(box.y1, y + 1);
            }
        }
    }
    return box.x1 == 0 ? Box{} : box;
}

// A current context and the renderer that sizes, compiles and draws in it as the viewer does.
struct HeadlessRenderer {
    std::unique_ptr<kavelo::platform::gl::HeadlessGLContext> gl;
    int width = 0;  // of the latest Resize
    int height = 0;

    void Resize(int w, int h) {
        width = w;
        height = h;
        kavelo::render::ApplyResize(w, h);
    }
    void Compile(const kavelo::scene::SceneLists& scene) const {
        kavelo::render::CompileSceneList(scene, kavelo::render::CurrentSampling());
    }
    Picture Draw(const ViewParams& p) const {
        kavelo::render::RenderSceneFrame(p, width, height);
        return {gl->Width(), gl->Height(), gl->ReadPixels()};
    }
};

// Resized to the context's size, as the viewer's first resize; `gl` is null without a context.
inline HeadlessRenderer OpenRenderer(int width, int height) {
    HeadlessRenderer r{MakeCurrentContext(width, height)};
    if (r.gl != nullptr) {
        r.Resize(width, height);
    }
    return r;
}

}  // namespace kavelo::test
