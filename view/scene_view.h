// The view: owns the scene lists, the view parameters and the rendering context, and handles
// every scene command.
#pragma once

#include <QOpenGLWidget>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "navigation/mouse_drag.h"
#include "navigation/panel_exchange.h"
#include "navigation/view_params.h"
#include "platform/framework/command_routing.h"
#include "platform/framework/long_work.h"
#include "render/compile_progress.h"
#include "render/palette.h"
#include "render/sampling_view.h"
#include "scene/node_arena.h"
#include "scene/scene.h"
#include "scene/warning_list.h"
#include "view/command_finisher.h"

class QOpenGLContext;

namespace kavelo::platform::widgets {
class DialogBar;
}  // namespace kavelo::platform::widgets

class CSceneView : public QOpenGLWidget,
                   public kavelo::platform::framework::MessageMapTarget<CSceneView>,
                   public ViewParams {
    Q_OBJECT

  public:
    // Reads the scene (a large file once the window shows), then sets the parameters to their
    // defaults.
    explicit CSceneView(QWidget* parent = nullptr);
    ~CSceneView() override;

    static std::span<const kavelo::platform::framework::MessageMapEntry<CSceneView>>
    GetMessageMap();

    // The window-creation step: links the frame's control panel and makes sure a rendering
    // context with the view's format can be made. Returns 0, or -1 when the view cannot draw.
    int OnCreate();

    void ReadScene();
    void ResetParams();
    void CompileScene();
    void RenderScene();
    void RefreshPanel();
    bool BuildPalette(const kavelo::render::PixelFormatDescription& granted);

    void OnMoveRight(const kavelo::platform::framework::CommandInput& input);
    void OnMoveLeft(const kavelo::platform::framework::CommandInput& input);
    void OnMoveUp(const kavelo::platform::framework::CommandInput& input);
    void OnMoveDown(const kavelo::platform::framework::CommandInput& input);
    void OnZoomIn(const kavelo::platform::framework::CommandInput& input);
    void OnZoomOut(const kavelo::platform::framework::CommandInput& input);
    void OnRotateXPlus(const kavelo::platform::framework::CommandInput& input);
    void OnRotateXMinus(const kavelo::platform::framework::CommandInput& input);
    void OnRotateYPlus(const kavelo::platform::framework::CommandInput& input);
    void OnRotateYMinus(const kavelo::platform::framework::CommandInput& input);
    void OnRotateZPlus(const kavelo::platform::framework::CommandInput& input);
    void OnRotateZMinus(const kavelo::platform::framework::CommandInput& input);
    void OnPerspectivePlus(const kavelo::platform::framework::CommandInput& input);
    void OnPerspectiveMinus(const kavelo::platform::framework::CommandInput& input);
    void OnFileRestart();
    void OnPanelUpdate();
    void OnPanelBestFit();
    void OnPanelCentre();

    // The diagnostic of the latest reading of the scene file, if it did not end normally.
    const std::optional<std::string>& SceneDiagnostic() const { return m_sceneDiagnostic; }
    // What the latest reading read most likely not as meant, one "input.txt:3:1: warning: ..."
    // each, in the order of the file: the first few, and how many there were.
    const kavelo::scene::WarningList& SceneWarnings() const { return m_sceneWarnings; }
    // Frames drawn so far; lets callers see that a repaint really ran.
    int FramesDrawn() const { return m_nFramesDrawn; }
    // A large scene is read and compiled once the window's first frame is shown; until its own
    // picture is drawn, this is true.
    bool ScenePending() const { return m_bReadAfterFirstFrame || m_bCompileAfterFirstFrame; }
    // A reading or compile is under way or still to come: the status pane says no "Ready".
    bool WorkPending() const { return ScenePending() || m_pWork != nullptr; }

    QOpenGLContext* m_hRC = nullptr;  // the widget's context, once it exists
    std::unique_ptr<kavelo::render::LogicalPalette> m_pPalette;
    // Where the lists' records come from; declared before them, so that it outlives them.
    kavelo::scene::SceneNodeArena m_arena{kavelo::scene::HeapSceneNodes()};
    kavelo::scene::SceneList<PolygonNode> m_pPolygons;
    kavelo::scene::SceneList<CurveNode> m_pCurves;
    kavelo::scene::SceneList<SurfaceNode> m_pSurfaces;
    int m_nWidth = 0;  // client size in device pixels, from the latest resize
    int m_nHeight = 0;
    kavelo::platform::widgets::DialogBar* m_pPanel = nullptr;  // the frame's panel; not owned
    kavelo::navigation::BoundsRect m_rcBounds;

  signals:
    // A reading of the scene file, or a compile, has ended (the diagnostic may have changed).
    void sceneRead();
    // How far long work has come, for the status pane alone; empty when it has ended.
    void workProgress(const QString& text);

  protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeGL(int width, int height) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Tab in the view moves nothing: the view is no stop of the panel's tab order.
    bool focusNextPrevChild(bool) override { return true; }

  private:
    // The end of every command that changes the view: repaint at once, then the panel, as
    // m_finisher times it.
    void FinishCommand(const kavelo::platform::framework::CommandInput& input = {}) {
        m_bDrawnAhead = false;  // the parameters have changed
        m_finisher.Finish(input);
    }
    void FreeLists();
    void RepaintNow();
    // Compiles the lists into the current context, sampled as `sampling` says, showing progress
    // when it takes long.
    void CompileCurrent(const kavelo::render::SamplingView& sampling);
    // Reads the scene when `read` says so, then compiles it, as one piece of long work that
    // keeps the window live and can be stopped; false when the window was closed meanwhile.
    bool ReadAndCompile(bool read);
    // Whether the reading or compile ahead is long enough to wait for the first frame.
    bool WorkIsLong() const;
    // The progress of that work: its words in the status pane (from the start, or once it has
    // run half a second) and, at each of its points, the window system let in when due and
    // whether the work goes on. `inContext`: the work goes on in the view's context.
    kavelo::render::PacedProgress WorkProgress(bool fromStart, bool inContext);
    // Long work in the status pane, the busy pointer shown from its first word until EndWork,
    // which tells whether any word was shown.
    void ShowWork(const std::string& text);
    bool EndWork();
    // A length in the widget's logical pixels, in the device pixels that GL draws in.
    int DevicePixels(int logical) const;
    // Stores the client size in device pixels; for a positive one also sets the projection and
    // the viewport, in the current context.
    void OnSize(int width, int height);
    // Sends `id` `count` times along the frame's route, as the key table does.
    void IssueCommand(unsigned id, int count,
                      const kavelo::platform::framework::CommandInput& input);

    std::optional<std::string> m_sceneDiagnostic;
    kavelo::scene::WarningList m_sceneWarnings;
    int m_nFramesDrawn = 0;
    // The frame's route, which the mouse's commands take; empty without a frame.
    std::span<kavelo::platform::framework::CCmdTarget* const> m_route;
    kavelo::view::CommandFinisher m_finisher{this, [this] {
                                                 RepaintNow();
                                                 RefreshPanel();
                                             }};
    bool m_bCompileAfterFirstFrame = false;  // a large scene: the window shows before it compiles
    bool m_bReadAfterFirstFrame = false;     // a large file: ... and before it is read
    bool m_bWorkShown = false;               // long work has shown a word and the busy pointer
    bool m_bDrawnAhead = false;  // RepaintNow drew the current frame itself; its paint is to come
    kavelo::platform::framework::LongWork* m_pWork = nullptr;  // the work under way, if any
    std::optional<kavelo::navigation::MouseDrag> m_drag;       // the drag under way, if any
    Qt::MouseButton m_dragButton = Qt::NoButton;
    int m_nWheelRest = 0;  // wheel units short of a whole notch
};
