// A GL context without a window or X server: an EGL pbuffer on Mesa's surfaceless platform.
// Tests, benchmarks and the picture tool draw through it with the viewer's own code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl/gl_context_guard.h"

namespace kavelo::platform::gl {

class HeadlessGLContext : public GLSurface {
  public:
    // A compatibility-profile context on an RGBA8 pbuffer with a depth buffer of 24 bits or more.
    // Null when none can be made; `error` then says why.
    static std::unique_ptr<HeadlessGLContext> Create(int width, int height,
                                                     std::string* error = nullptr);
    // Releases the context and its surface. The display, shared by all of them, stays
    // initialised for the process.
    ~HeadlessGLContext() override;

    HeadlessGLContext(const HeadlessGLContext&) = delete;
    HeadlessGLContext& operator=(const HeadlessGLContext&) = delete;

    bool MakeCurrent() override;
    void DoneCurrent() override;

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    // The picture as RGBA8, top row first. Makes the context current for the read if it is not,
    // and releases it again afterwards in that case.
    std::vector<std::uint8_t> ReadPixels();

  private:
    HeadlessGLContext(int width, int height) : m_nWidth(width), m_nHeight(height) {}
    bool IsCurrent() const;

    int m_nWidth;
    int m_nHeight;
    void* m_hDisplay = nullptr;  // EGLDisplay, EGLSurface, EGLContext: kept opaque so that
    void* m_hSurface = nullptr;  // users of this header do not pull in the EGL headers
    void* m_hContext = nullptr;
};

}  // namespace kavelo::platform::gl
