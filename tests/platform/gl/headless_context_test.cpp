// The headless context and the scoped guard that binds contexts.
#include <EGL/egl.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/gl/gl_context_guard.h"
#include "platform/gl/headless_gl_context.h"

using kavelo::platform::gl::ContextGuard;
using kavelo::platform::gl::GLSurface;
using kavelo::platform::gl::HeadlessGLContext;

namespace {

class CountingSurface : public GLSurface {
  public:
    explicit CountingSurface(bool succeeds) : m_bSucceeds(succeeds) {}
    bool MakeCurrent() override {
        ++m_nMade;
        return m_bSucceeds;
    }
    void DoneCurrent() override { ++m_nDone; }
    bool m_bSucceeds;
    int m_nMade = 0;
    int m_nDone = 0;
};

TEST(ContextGuard, MakesCurrentOnceAndReleasesOnEveryPath) {
    CountingSurface surface(true);
    {
        ContextGuard guard(surface);
        EXPECT_TRUE(guard.IsCurrent());
        EXPECT_EQ(surface.m_nMade, 1);
        EXPECT_EQ(surface.m_nDone, 0);
    }
    EXPECT_EQ(surface.m_nDone, 1);

    try {
        ContextGuard guard(surface);
        throw std::runtime_error("leaves the scope early");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(surface.m_nMade, 2);
    EXPECT_EQ(surface.m_nDone, 2);

    CountingSurface failing(false);
    {
        ContextGuard guard(failing);
        EXPECT_FALSE(guard.IsCurrent());
    }
    EXPECT_EQ(failing.m_nDone, 1);
}

TEST(HeadlessGLContext, GivesACompatibilityContextWithTheAskedBuffers) {
    std::string error;
    EXPECT_EQ(HeadlessGLContext::Create(0, 10, &error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(HeadlessGLContext::Create(10, -1), nullptr);

    auto gl = HeadlessGLContext::Create(48, 20, &error);
    ASSERT_NE(gl, nullptr) << error;
    EXPECT_EQ(gl->Width(), 48);
    EXPECT_EQ(gl->Height(), 20);
    {
        ContextGuard guard(*gl);
        ASSERT_TRUE(guard.IsCurrent());
        const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        ASSERT_NE(version, nullptr);
        EXPECT_NE(std::string(version).find("Compatibility Profile"), std::string::npos) << version;
        GLint bits = 0;
        glGetIntegerv(GL_DEPTH_BITS, &bits);
        EXPECT_GE(bits, 24);
        for (GLenum channel : {GL_RED_BITS, GL_GREEN_BITS, GL_BLUE_BITS, GL_ALPHA_BITS}) {
            glGetIntegerv(channel, &bits);
            EXPECT_EQ(bits, 8);
        }
        // Display lists exist only in a compatibility context.
        glNewList(1, GL_COMPILE);
        glEndList();
        EXPECT_TRUE(glIsList(1));
    }
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
}

TEST(HeadlessGLContext, ReadsPixelsTopRowFirstAndLeavesTheBindingAsItWas) {
    auto gl = HeadlessGLContext::Create(6, 4);
    ASSERT_NE(gl, nullptr);
    ASSERT_TRUE(gl->MakeCurrent());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // GL's bottom row green, and its leftmost column red.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 6, 1);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 0, 1, 4);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    const std::vector<std::uint8_t> pixels = gl->ReadPixels();
    ASSERT_EQ(pixels.size(), 6u * 4u * 4u);
    auto at = [&](int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * 6 + x) * 4;
        return std::array<int, 3>{pixels[i], pixels[i + 1], pixels[i + 2]};
    };
    EXPECT_EQ(at(3, 3), (std::array<int, 3>{0, 255, 0})) << "bottom row last";
    EXPECT_EQ(at(3, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(at(0, 0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(at(0, 3), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(at(5, 3), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(eglGetCurrentContext() != EGL_NO_CONTEXT, true) << "still current after reading";

    gl->DoneCurrent();
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    EXPECT_EQ(gl->ReadPixels(), pixels) << "made current for the read";
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT) << "and released again";
}

TEST(HeadlessGLContext, ContextsLiveSideBySide) {
    auto first = HeadlessGLContext::Create(8, 8);
    auto second = HeadlessGLContext::Create(16, 4);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    {
        ContextGuard guard(*first);
        ASSERT_TRUE(guard.IsCurrent());
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Ending one context must leave the other, and the display they share, working.
    second.reset();
    const std::vector<std::uint8_t> pixels = first->ReadPixels();
    ASSERT_EQ(pixels.size(), 8u * 8u * 4u);
    EXPECT_EQ(pixels[2], 255);
    EXPECT_EQ(pixels[0], 0);

    auto third = HeadlessGLContext::Create(4, 4);
    ASSERT_NE(third, nullptr);
    ContextGuard guard(*third);
    EXPECT_TRUE(guard.IsCurrent());
}

}  // namespace
