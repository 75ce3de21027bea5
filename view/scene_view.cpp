#include "view/scene_view.h"

#include <GL/gl.h>

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QResizeEvent>

#include "platform/banner_painter.h"
#include "platform/gl_context_guard.h"
#include "platform/pixel_format.h"
#include "platform/widget_gl_surface.h"
#include "render/frame_renderer.h"
#include "render/scene_compiler.h"
#include "scene/reader.h"
#include "shell/control_panel.h"
#include "shell/resources/resource_ids.h"
#include "view/panel_host.h"

namespace {

// The panel's fields by control identifier, as the exchange reads and writes them.
class PanelFieldsOf final : public PanelFields {
  public:
    explicit PanelFieldsOf(CControlPanel& panel) : m_panel(panel) {}
    std::string GetDlgItemText(unsigned id) override {
        return m_panel.Controls().GetDlgItemText(static_cast<int>(id));
    }
    void SetDlgItemText(unsigned id, std::string_view text) override {
        m_panel.Controls().SetDlgItemText(static_cast<int>(id), text);
    }

  private:
    CControlPanel& m_panel;
};

}  // namespace

CSceneView::CSceneView(QWidget* parent) : QOpenGLWidget(parent) {
    ReadScene();
    ResetParams();
    setFormat(SceneSurfaceFormat());
    // The picture covers the whole client area: nothing is erased or filled under it.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(0, 0);
}

CSceneView::~CSceneView() {
    // Display list 1 lives in the widget's context, which Qt releases after this.
    if (m_hRC != nullptr && context() != nullptr) {
        makeCurrent();
        glDeleteLists(SCENE_LIST, 1);
        doneCurrent();
    }
    m_pPalette.reset();
}

std::span<const MessageMapEntry<CSceneView>> CSceneView::GetMessageMap() {
    static const MessageMapEntry<CSceneView> kMap[] = {
        {ID_MOVE_RIGHT, &CSceneView::OnMoveRight},
        {ID_MOVE_LEFT, &CSceneView::OnMoveLeft},
        {ID_MOVE_UP, &CSceneView::OnMoveUp},
        {ID_MOVE_DOWN, &CSceneView::OnMoveDown},
        {ID_ZOOM_IN, &CSceneView::OnZoomIn},
        {ID_ZOOM_OUT, &CSceneView::OnZoomOut},
        {ID_ROTATE_Y_MINUS, &CSceneView::OnRotateYMinus},
        {ID_ROTATE_Y_PLUS, &CSceneView::OnRotateYPlus},
        {ID_FILE_RESTART, &CSceneView::OnFileRestart},
        {ID_ROTATE_X_MINUS, &CSceneView::OnRotateXMinus},
        {ID_ROTATE_X_PLUS, &CSceneView::OnRotateXPlus},
        {ID_ROTATE_Z_PLUS, &CSceneView::OnRotateZPlus},
        {ID_ROTATE_Z_MINUS, &CSceneView::OnRotateZMinus},
        {ID_PERSPECTIVE_PLUS, &CSceneView::OnPerspectivePlus},
        {ID_PERSPECTIVE_MINUS, &CSceneView::OnPerspectiveMinus},
        {IDC_UPDATE, &CSceneView::OnPanelUpdate},
        {IDC_BEST_FIT, &CSceneView::OnPanelBestFit},
        {IDC_CENTRE, &CSceneView::OnPanelCentre},
    };
    return kMap;
}

int CSceneView::OnCreate() {
    QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (auto* host = dynamic_cast<PanelHost*>(owner)) {
        m_pPanel = host->GetControlPanel();
    }
    if (!PlatformShowsGLWidgets()) {
        return -1;
    }
    // The widget makes its own context only when first shown; a context made now with the same
    // format tells whether it will be possible at all.
    QOpenGLContext probe;
    probe.setFormat(format());
    if (!probe.create()) {
        return -1;
    }
    BuildPalette(DescribeFormat(probe.format()));
    return 0;
}

void CSceneView::ReadScene() {
    SceneReadResult result = ReadSceneFile(kSceneFileName, std::string_view(kSceneFileName));
    m_pPolygons = std::move(result.scene.polygons);
    m_pCurves = std::move(result.scene.curves);
    m_pSurfaces = std::move(result.scene.surfaces);
    m_sceneDiagnostic = std::move(result.diagnostic);
    emit sceneRead();
}

void CSceneView::ResetParams() {
    ::ResetParams(*this);
}

bool CSceneView::BuildPalette(const PixelFormatDescription& granted) {
    return ::BuildPalette(granted, m_pPalette);
}

void CSceneView::CompileScene() {
    WidgetGLSurface surface(*this);
    ContextGuard guard(surface);
    if (guard.IsCurrent()) {
        CompileSceneList(m_pPolygons.get(), m_pCurves.get(), m_pSurfaces.get());
    }
}

void CSceneView::GlErrorCheckpoint(const char* label) {
    ::GlErrorCheckpoint(label);
}

void CSceneView::RenderScene() {
    RenderSceneFrame(*this, m_nWidth, m_nHeight);
}

void CSceneView::initializeGL() {
    m_hRC = context();
    // GLU tessellates under the matrices and viewport of the moment: give it those of the
    // current size, as a resize would have set them, before the first compile.
    const qreal ratio = devicePixelRatioF();
    m_nWidth = qRound(width() * ratio);
    m_nHeight = qRound(height() * ratio);
    if (m_nWidth > 0 && m_nHeight > 0) {
        ApplyResize(m_nWidth, m_nHeight);
    }
    CompileSceneList(m_pPolygons.get(), m_pCurves.get(), m_pSurfaces.get());
}

void CSceneView::paintGL() {
    RenderScene();
    ++m_nFramesDrawn;
    QPainter painter(this);
    DrawBanner(painter, width());
    painter.end();
    // The painter's own GL state must not reach the next frame.
    QOpenGLFunctions* gl = context()->functions();
    gl->glUseProgram(0);
    gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gl->glActiveTexture(GL_TEXTURE0);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    gl->glDisable(GL_BLEND);
    gl->glDisable(GL_SCISSOR_TEST);
    gl->glDisable(GL_STENCIL_TEST);
    gl->glDepthMask(GL_TRUE);
    gl->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void CSceneView::resizeEvent(QResizeEvent* event) {
    const qreal ratio = devicePixelRatioF();
    m_nWidth = qRound(event->size().width() * ratio);
    m_nHeight = qRound(event->size().height() * ratio);
    QOpenGLWidget::resizeEvent(event);
}

void CSceneView::resizeGL(int, int) {
    if (m_nWidth > 0 && m_nHeight > 0) {
        ApplyResize(m_nWidth, m_nHeight);
    }
}

void CSceneView::FinishCommand() {
    RepaintNow();
    RefreshPanel();
}

// The new frame is drawn before the caller goes on. Qt may hold a synchronous repaint back while
// the previous frame is still being composed; the frame is then drawn here directly, and shown
// with the next composition.
void CSceneView::RepaintNow() {
    const int before = m_nFramesDrawn;
    repaint();
    if (m_nFramesDrawn == before && isVisible() && context() != nullptr) {
        makeCurrent();
        paintGL();
        doneCurrent();
        update();
    }
}

void CSceneView::RefreshPanel() {
    if (m_pPanel == nullptr) {
        return;
    }
    PanelFieldsOf fields(*m_pPanel);
    WritePanelFields(*this, fields);
    m_pPanel->repaint();
}

void CSceneView::OnMoveRight() {
    MoveRight(*this);
    FinishCommand();
}
void CSceneView::OnMoveLeft() {
    MoveLeft(*this);
    FinishCommand();
}
void CSceneView::OnMoveUp() {
    MoveUp(*this);
    FinishCommand();
}
void CSceneView::OnMoveDown() {
    MoveDown(*this);
    FinishCommand();
}
void CSceneView::OnZoomIn() {
    ZoomIn(*this);
    FinishCommand();
}
void CSceneView::OnZoomOut() {
    ZoomOut(*this);
    FinishCommand();
}
void CSceneView::OnRotateXPlus() {
    RotateXPlus(*this);
    FinishCommand();
}
void CSceneView::OnRotateXMinus() {
    RotateXMinus(*this);
    FinishCommand();
}
void CSceneView::OnRotateYPlus() {
    RotateYPlus(*this);
    FinishCommand();
}
void CSceneView::OnRotateYMinus() {
    RotateYMinus(*this);
    FinishCommand();
}
void CSceneView::OnRotateZPlus() {
    RotateZPlus(*this);
    FinishCommand();
}
void CSceneView::OnRotateZMinus() {
    RotateZMinus(*this);
    FinishCommand();
}
void CSceneView::OnPerspectivePlus() {
    PerspectivePlus(*this);
    FinishCommand();
}
void CSceneView::OnPerspectiveMinus() {
    PerspectiveMinus(*this);
    FinishCommand();
}

void CSceneView::OnFileRestart() {
    ResetParams();
    ReadScene();
    CompileScene();
    FinishCommand();
}

void CSceneView::OnPanelUpdate() {
    if (m_pPanel != nullptr) {
        PanelFieldsOf fields(*m_pPanel);
        ReadPanelFields(fields, *this);
    }
    FinishCommand();
}

void CSceneView::OnPanelBestFit() {
    // Never issued: its button is hidden and disabled, and it changes nothing.
}

void CSceneView::OnPanelCentre() {
    CentreOnBounds(*this, m_rcBounds);
    FinishCommand();
}
