#include "render/frame_renderer.h"

// Mesa's libGL exports the entry points beyond OpenGL 1.1 that the reset needs.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include "render/scene_compiler.h"

namespace kavelo::render {

namespace {

constexpr GLfloat kFrontSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat kFrontShininess[1] = {100.0f};

std::array<double, 16> Identity() {
    std::array<double, 16> m{};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

}  // namespace

void GlErrorCheckpoint(const char* /*label*/) {
    static_cast<void>(glGetError());
}

void RenderSceneFrame(const ViewParams& p, int width, int height, double pixelRatio) {
    glLineWidth(static_cast<GLfloat>(pixelRatio));
    glEnable(GL_LIGHTING);
    GlErrorCheckpoint("glEnable (GL_LIGHTING) ;");
    glEnable(GL_LIGHT0);
    GlErrorCheckpoint("glEnable (GL_LIGHT0) ;");
    glEnable(GL_DEPTH_TEST);
    GlErrorCheckpoint("glEnable (GL_DEPTH_TEST);");

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The draw colour becomes the ambient and diffuse reflectance; only the highlight is white.
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT, GL_SPECULAR, kFrontSpecular);
    glMaterialfv(GL_FRONT, GL_SHININESS, kFrontShininess);

    glDepthFunc(GL_LEQUAL);
    // Normals for a list drawn through evaluators; the scene list carries its own.
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);  // normals are stored as read or computed, and stretches scale them

    glMatrixMode(GL_PROJECTION);
    GlErrorCheckpoint("MatrixMode");
    glLoadIdentity();
    glMultMatrixd(ProjectionMatrix(p.m_dPerspective).data());

    glMatrixMode(GL_MODELVIEW);
    GlErrorCheckpoint("MatrixMode");
    glLoadIdentity();
    glViewport(0, 0, width, height);
    glMultMatrixd(ShiftMatrix(p.m_dShiftX, p.m_dShiftY).data());
    glScaled(p.m_dStretchX * 0.5, p.m_dStretchY * 0.5, p.m_dStretchZ * 0.5);
    glRotated(p.m_dAngleX, 1.0, 0.0, 0.0);
    glRotated(p.m_dAngleY, 0.0, 1.0, 0.0);
    glRotated(p.m_dAngleZ, 0.0, 0.0, 1.0);

    glColor3dv(kDrawColour.data());
    glCallList(SCENE_LIST);
    glFlush();
}

void ApplyResize(int width, int height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    glMatrixMode(GL_PROJECTION);
    GlErrorCheckpoint("MatrixMode");
    glLoadIdentity();
    glViewport(0, 0, width, height);
}

void ResetAfterPainter() {
    glUseProgram(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

std::array<double, 16> ProjectionMatrix(double perspective) {
    std::array<double, 16> m = Identity();
    m[3] = m[7] = m[11] = perspective;
    return m;
}

std::array<double, 16> ShiftMatrix(double x, double y) {
    std::array<double, 16> m = Identity();
    m[12] = x;
    m[13] = y;
    return m;
}

}  // namespace kavelo::render
