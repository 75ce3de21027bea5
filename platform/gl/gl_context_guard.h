// Scoped binding of a GL context: current from construction to destruction, on every path.
#pragma once

namespace kavelo::platform::gl {

// Something a GL context can be made current on: a widget's context, or a headless one.
class GLSurface {
  public:
    virtual ~GLSurface() = default;
    virtual bool MakeCurrent() = 0;
    virtual void DoneCurrent() = 0;
};

class ContextGuard {
  public:
    explicit ContextGuard(GLSurface& surface)
        : m_surface(surface), m_bCurrent(surface.MakeCurrent()) {}
    // Released even when making current failed: a half-done binding must not outlive the scope.
    ~ContextGuard() { m_surface.DoneCurrent(); }

    ContextGuard(const ContextGuard&) = delete;
    ContextGuard& operator=(const ContextGuard&) = delete;

    // What MakeCurrent returned.
    bool IsCurrent() const { return m_bCurrent; }

  private:
    GLSurface& m_surface;
    bool m_bCurrent;
};

}  // namespace kavelo::platform::gl
