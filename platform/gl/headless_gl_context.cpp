#include "platform/gl/headless_gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

namespace kavelo::platform::gl {

namespace {

bool HasExtension(const char* list, std::string_view name) {
    if (list == nullptr) {
        return false;
    }
    std::string_view rest(list);
    while (!rest.empty()) {
        const std::size_t end = rest.find(' ');
        if (rest.substr(0, end) == name) {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    return false;
}

std::string EglFailure(const char* step) {
    char code[16];
    const auto end =
        std::to_chars(code, code + sizeof code, static_cast<unsigned>(eglGetError()), 16).ptr;
    return std::string(step) + " failed (EGL error 0x" + std::string(code, end) + ")";
}

// Mesa's surfaceless display, initialised, with desktop OpenGL as the bound API. EGL_NO_DISPLAY
// when there is none; `why` then says why.
EGLDisplay SurfacelessDisplay(std::string& why) {
    if (!HasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS),
                      "EGL_MESA_platform_surfaceless")) {
        why = "EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)";
        return EGL_NO_DISPLAY;
    }
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        why = "eglGetPlatformDisplayEXT is missing";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        why = EglFailure("eglGetPlatformDisplayEXT");
        return EGL_NO_DISPLAY;
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) {
        why = EglFailure("eglInitialize");
        return EGL_NO_DISPLAY;
    }
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        why = EglFailure("eglBindAPI(EGL_OPENGL_API)");
        return EGL_NO_DISPLAY;
    }
    return display;
}

// A configuration for OpenGL on RGBA8 pbuffers with a depth buffer; null when there is none.
EGLConfig PbufferConfig(EGLDisplay display) {
    static constexpr EGLint kConfig[] = {EGL_SURFACE_TYPE,
                                         EGL_PBUFFER_BIT,
                                         EGL_RENDERABLE_TYPE,
                                         EGL_OPENGL_BIT,
                                         EGL_RED_SIZE,
                                         8,
                                         EGL_GREEN_SIZE,
                                         8,
                                         EGL_BLUE_SIZE,
                                         8,
                                         EGL_ALPHA_SIZE,
                                         8,
                                         EGL_DEPTH_SIZE,
                                         24,
                                         EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (eglChooseConfig(display, kConfig, &config, 1, &configs) != EGL_TRUE || configs < 1) {
        return nullptr;
    }
    return config;
}

}  // namespace

std::unique_ptr<HeadlessGLContext> HeadlessGLContext::Create(int width, int height,
                                                             std::string* error) {
    auto fail = [error](std::string why) -> std::unique_ptr<HeadlessGLContext> {
        if (error != nullptr) {
            *error = std::move(why);
        }
        return nullptr;
    };
    if (width <= 0 || height <= 0) {
        return fail("the picture size must be positive");
    }
    std::string why;
    const EGLDisplay display = SurfacelessDisplay(why);
    if (display == EGL_NO_DISPLAY) {
        return fail(std::move(why));
    }
    const EGLConfig config = PbufferConfig(display);
    if (config == nullptr) {
        return fail("no EGL configuration with RGBA8, a depth buffer and pbuffers");
    }

    std::unique_ptr<HeadlessGLContext> gl(new HeadlessGLContext(width, height));
    gl->m_hDisplay = display;
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    gl->m_hSurface = eglCreatePbufferSurface(display, config, size);
    if (gl->m_hSurface == EGL_NO_SURFACE) {
        return fail(EglFailure("eglCreatePbufferSurface"));
    }
    // No attributes: the newest compatibility-profile version the driver has.
    gl->m_hContext = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (gl->m_hContext == EGL_NO_CONTEXT) {
        return fail(EglFailure("eglCreateContext"));
    }
    return gl;
}

HeadlessGLContext::~HeadlessGLContext() {
    if (m_hDisplay == nullptr) {
        return;
    }
    if (IsCurrent()) {
        DoneCurrent();
    }
    if (m_hContext != nullptr) {
        eglDestroyContext(m_hDisplay, m_hContext);
    }
    if (m_hSurface != nullptr) {
        eglDestroySurface(m_hDisplay, m_hSurface);
    }
    // The display stays initialised: it is one per process and shared by every context made on
    // it, and terminating it unloads Mesa's driver, which then loses the memory it still holds.
}

bool HeadlessGLContext::MakeCurrent() {
    // The bound API is per thread; another user of EGL may have switched it.
    return eglBindAPI(EGL_OPENGL_API) == EGL_TRUE &&
           eglMakeCurrent(m_hDisplay, m_hSurface, m_hSurface, m_hContext) == EGL_TRUE;
}

void HeadlessGLContext::DoneCurrent() {
    if (IsCurrent()) {
        eglMakeCurrent(m_hDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
}

bool HeadlessGLContext::IsCurrent() const {
    return m_hContext != nullptr && eglGetCurrentContext() == m_hContext;
}

std::vector<std::uint8_t> HeadlessGLContext::ReadPixels() {
    const bool wasCurrent = IsCurrent();
    if (!wasCurrent && !MakeCurrent()) {
        return {};
    }
    const std::size_t row = static_cast<std::size_t>(m_nWidth) * 4;
    std::vector<std::uint8_t> bottomUp(row * static_cast<std::size_t>(m_nHeight));
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_nWidth, m_nHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    if (!wasCurrent) {
        DoneCurrent();
    }
    // GL counts rows from the bottom; pictures are stored from the top.
    std::vector<std::uint8_t> pixels(bottomUp.size());
    for (int y = 0; y < m_nHeight; ++y) {
        std::memcpy(pixels.data() + static_cast<std::size_t>(y) * row,
                    bottomUp.data() + static_cast<std::size_t>(m_nHeight - 1 - y) * row, row);
    }
    return pixels;
}

}  // namespace kavelo::platform::gl
