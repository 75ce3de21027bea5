// The context of a QOpenGLWidget as something a ContextGuard can make current.
#pragma once

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLWidget>

#include "platform/gl/gl_context_guard.h"

namespace kavelo::platform::gl {

class WidgetGLSurface final : public GLSurface {
  public:
    explicit WidgetGLSurface(QOpenGLWidget& widget) : m_widget(widget) {}
    bool MakeCurrent() override {
        if (m_widget.context() == nullptr) {
            return false;  // the widget has not been shown yet
        }
        m_widget.makeCurrent();
        return QOpenGLContext::currentContext() == m_widget.context();
    }
    void DoneCurrent() override { m_widget.doneCurrent(); }

  private:
    QOpenGLWidget& m_widget;
};

// The offscreen platform makes GL contexts but cannot put a GL widget into a window: showing one
// there crashes inside the toolkit.
inline bool PlatformShowsGLWidgets() {
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

}  // namespace kavelo::platform::gl
