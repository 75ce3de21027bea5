#include "platform/gl/headless_gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <charconv>
#include <cstring>
#include <string_view>
#include <utility>

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
    if (!HasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS),
                      "EGL_MESA_platform_surfaceless")) {
        return fail("EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)");
    }
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return fail("eglGetPlatformDisplayEXT is missing");
    }

    std::unique_ptr<HeadlessGLContext> gl(new HeadlessGLContext(width, height));
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        return fail(EglFailure("eglGetPlatformDisplayEXT"));
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) {
        return fail(EglFailure("eglInitialize"));
    }
    gl->m_hDisplay = display;

    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        return fail(EglFailure("eglBindAPI(EGL_OPENGL_API)"));
    }
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
        return fail("no EGL configuration with RGBA8, a depth buffer and pbuffers");
    }
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, size);
    if (surface == EGL_NO_SURFACE) {
        return fail(EglFailure("eglCreatePbufferSurface"));
    }
    gl->m_hSurface = surface;
    // No attributes: the newest compatibility-profile version the driver has.
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        return fail(EglFailure("eglCreateContext"));
    }
    gl->m_hContext = context;
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
