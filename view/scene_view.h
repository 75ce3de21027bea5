// The view: owns the scene lists, the view parameters and the rendering context, and handles
// every scene command.
#pragma once

#include <QOpenGLWidget>

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "navigation/panel_exchange.h"
#include "navigation/view_params.h"
#include "platform/framework/command_routing.h"
#include "render/palette.h"
#include "scene/scene.h"

class QOpenGLContext;
class DialogBar;

class CSceneView : public QOpenGLWidget, public MessageMapTarget<CSceneView>, public ViewParams {
    Q_OBJECT

  public:
    // Reads the scene, then sets the parameters to their defaults.
    explicit CSceneView(QWidget* parent = nullptr);
    ~CSceneView() override;

    static std::span<const MessageMapEntry<CSceneView>> GetMessageMap();

    // The window-creation step: links the frame's control panel and makes sure a rendering
    // context with the view's format can be made. Returns 0, or -1 when the view cannot draw.
    int OnCreate();

    void ReadScene();
    void ResetParams();
    void CompileScene();
    void RenderScene();
    void RefreshPanel();
    bool BuildPalette(const PixelFormatDescription& granted);

    void OnMoveRight();
    void OnMoveLeft();
    void OnMoveUp();
    void OnMoveDown();
    void OnZoomIn();
    void OnZoomOut();
    void OnRotateXPlus();
    void OnRotateXMinus();
    void OnRotateYPlus();
    void OnRotateYMinus();
    void OnRotateZPlus();
    void OnRotateZMinus();
    void OnPerspectivePlus();
    void OnPerspectiveMinus();
    void OnFileRestart();
    void OnPanelUpdate();
    void OnPanelBestFit();
    void OnPanelCentre();

    // The diagnostic of the latest reading of the scene file, if it did not end normally.
    const std::optional<std::string>& SceneDiagnostic() const { return m_sceneDiagnostic; }
    // Frames drawn so far; lets callers see that a repaint really ran.
    int FramesDrawn() const { return m_nFramesDrawn; }

    QOpenGLContext* m_hRC = nullptr;  // the widget's context, once it exists
    std::unique_ptr<LogicalPalette> m_pPalette;
    SceneList<PolygonNode> m_pPolygons;
    SceneList<CurveNode> m_pCurves;
    SceneList<SurfaceNode> m_pSurfaces;
    int m_nWidth = 0;  // client size in device pixels, from the latest resize
    int m_nHeight = 0;
    DialogBar* m_pPanel = nullptr;  // the frame's panel; not owned
    BoundsRect m_rcBounds;

  signals:
    // A reading of the scene file has ended (its diagnostic may have changed).
    void sceneRead();

  protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeGL(int width, int height) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The end of every command that changes the view: repaint at once, then the panel.
    void FinishCommand();
    void RepaintNow();

    std::optional<std::string> m_sceneDiagnostic;
    int m_nFramesDrawn = 0;
};
