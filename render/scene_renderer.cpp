#include "render/scene_renderer.h"

// Mesa's libGL exports the entry points beyond OpenGL 1.1 that the reset needs.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include "render/frame_renderer.h"

namespace kavelo::render {

void SceneRenderer::Resize(int width, int height) {
    m_nWidth = width;
    m_nHeight = height;
    ApplyResize(width, height);
}

SceneListStats SceneRenderer::Compile(kavelo::scene::SceneHeads heads, const SamplingView& view,
                                      CompileProgress* progress) const {
    const PrimitiveBudget budget = CurrentBudget(m_budget);
    return CompileSceneList(heads, view, progress, budget.budget, budget.room);
}

void SceneRenderer::DrawFrame(const ViewParams& params) const {
    glLineWidth(static_cast<GLfloat>(m_dPixelRatio));
    RenderSceneFrame(params, m_nWidth, m_nHeight);
}

void SceneRenderer::ResetAfterPainter() const {
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

}  // namespace kavelo::render
