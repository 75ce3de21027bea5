#include "view/scene_view.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <QApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include "platform/framework/termination.h"
#include "platform/gl/gl_context_guard.h"
#include "platform/gl/surface_format.h"
#include "platform/gl/widget_gl_surface.h"
#include "platform/widgets/banner_painter.h"
#include "platform/widgets/dialog_builder.h"
#include "render/frame_renderer.h"
#include "render/primitive_budget.h"
#include "render/scene_compiler.h"
#include "scene/driver_reserve.h"
#include "scene/read_report.h"
#include "scene/scene_file.h"
#include "shell/resources/resource_ids.h"
#include "view/granted_format.h"
#include "view/panel_host.h"

using kavelo::navigation::CentreOnBounds;
using kavelo::navigation::DragKind;
using kavelo::navigation::MoveDown;
using kavelo::navigation::MoveLeft;
using kavelo::navigation::MoveRight;
using kavelo::navigation::MoveUp;
using kavelo::navigation::PanelFields;
using kavelo::navigation::PerspectiveMinus;
using kavelo::navigation::PerspectivePlus;
using kavelo::navigation::Pixel;
using kavelo::navigation::ReadPanelFields;
using kavelo::navigation::RotateXMinus;
using kavelo::navigation::RotateXPlus;
using kavelo::navigation::RotateYMinus;
using kavelo::navigation::RotateYPlus;
using kavelo::navigation::RotateZMinus;
using kavelo::navigation::RotateZPlus;
using kavelo::navigation::StepCommands;
using kavelo::navigation::WritePanelFields;
using kavelo::navigation::ZoomIn;
using kavelo::navigation::ZoomOut;
using kavelo::platform::framework::CommandInput;
using kavelo::platform::framework::InputMadeAt;
using kavelo::platform::framework::LongWork;
using kavelo::platform::framework::MessageMapEntry;
using kavelo::platform::framework::OtherClientsLetIn;
using kavelo::platform::framework::RouteCommand;
using kavelo::platform::gl::ContextGuard;
using kavelo::platform::gl::PlatformShowsGLWidgets;
using kavelo::platform::gl::SceneSurfaceFormat;
using kavelo::platform::gl::WidgetGLSurface;
using kavelo::platform::widgets::DialogBar;
using kavelo::platform::widgets::DrawBanner;
using kavelo::render::ApplyResize;
using kavelo::render::CompileDiagnostic;
using kavelo::render::CompileMayTakeLong;
using kavelo::render::CompileSceneList;
using kavelo::render::CurrentBudget;
using kavelo::render::CurrentSampling;
using kavelo::render::PacedProgress;
using kavelo::render::PixelFormatDescription;
using kavelo::render::PrimitiveBudget;
using kavelo::render::RenderSceneFrame;
using kavelo::render::ResetAfterPainter;
using kavelo::render::ResizeSampling;
using kavelo::render::SamplingView;
using kavelo::render::SceneListStats;
using kavelo::scene::DriverReserve;
using kavelo::scene::kSceneFileName;
using kavelo::scene::MebibytesShortOfContext;
using kavelo::scene::ReadingMayTakeLong;
using kavelo::scene::ReadingReport;
using kavelo::scene::ReadSceneFile;
using kavelo::scene::SceneFileReading;
using kavelo::scene::SceneHeads;
using kavelo::scene::SceneReadResult;
using kavelo::view::DescribeFormat;
using kavelo::view::PanelHost;

namespace {

// The panel's fields by control identifier, as the exchange reads and writes them.
class PanelFieldsOf final : public PanelFields {
  public:
    explicit PanelFieldsOf(DialogBar& panel) : m_panel(panel) {}
    std::string GetDlgItemText(unsigned id) override {
        return m_panel.Controls().GetDlgItemText(static_cast<int>(id));
    }
    void SetDlgItemText(unsigned id, std::string_view text) override {
        m_panel.Controls().SetDlgItemText(static_cast<int>(id), text);
    }

  private:
    DialogBar& m_panel;
};

}  // namespace

CSceneView::CSceneView(QWidget* parent) : QOpenGLWidget(parent) {
    // A large file is read once the window shows, where its progress can be seen.
    m_bReadAfterFirstFrame = ReadingMayTakeLong(kSceneFileName);
    if (!m_bReadAfterFirstFrame) {
        ReadScene();
    }
    // Known now, so that the frame says no "Ready" before the work (initializeGL decides again).
    m_bCompileAfterFirstFrame = WorkIsLong();
    ResetParams();
    setFormat(SceneSurfaceFormat());
    // The picture goes into the window without an alpha of its own: a compositor that blends the
    // window by its alpha (Wayland's do) would show the desktop wherever the clear colour's alpha
    // of 0 was left.
    setTextureFormat(GL_RGB8);
    // The picture covers the whole client area: nothing is erased or filled under it.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // A frame drawn ahead of its paint stays in the frame buffer until that paint shows it.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    // A frame buffer made anew (a new size or pixel ratio) holds no frame yet.
    connect(this, &QOpenGLWidget::resized, this, [this] { m_bDrawnAhead = false; });
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(0, 0);
}

CSceneView::~CSceneView() {
    // Display list 1 lives in the widget's context, which Qt releases after this.
    if (m_hRC != nullptr) {
        makeCurrent();
        glDeleteLists(SCENE_LIST, 1);
        doneCurrent();
    }
    m_pPalette.reset();
    FreeLists();  // before the arena goes
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
        m_route = host->CommandRoute();
        m_pPanel = host->GetControlPanel();
    }
    // The box that follows a failure says only the framework's words; stderr says what failed.
    const std::string platform = QGuiApplication::platformName().toStdString();
    if (!PlatformShowsGLWidgets()) {
        std::fprintf(stderr, "kavelo: no OpenGL context: the %s platform puts none in a window\n",
                     platform.c_str());
        return -1;
    }
    // Asked for a context with too little address space left, Mesa may crash instead of failing.
    const auto shortOfMemory = [](bool limitsOnly) {
        const std::optional<std::size_t> left = MebibytesShortOfContext(limitsOnly);
        if (left) {
            std::fprintf(stderr,
                         "kavelo: no OpenGL context: not enough memory for one: %zu MiB left\n",
                         *left);
        }
        return left.has_value();
    };
    if (shortOfMemory(true)) {
        return -1;
    }
    // The widget makes its own context only when first shown; a context made now with the same
    // format tells whether it will be possible at all.
    QOpenGLContext probe;
    probe.setFormat(format());
    if (!probe.create()) {
        if (shortOfMemory(false)) {
            return -1;
        }
        std::fprintf(stderr,
                     "kavelo: no OpenGL context: the %s platform could not make one for a "
                     "double-buffered RGB window with a depth buffer; is an OpenGL driver "
                     "installed (Mesa's libgl1-mesa-dri)?\n",
                     platform.c_str());
        return -1;
    }
    BuildPalette(DescribeFormat(probe.format()));
    return 0;
}

void CSceneView::ReadScene() {
    // The earlier lists go first, so that a Restart never holds two scenes at once; display list
    // 1 keeps its own copy of them until the new ones are compiled.
    FreeLists();
    m_sceneWarnings.Clear();
    // A file left for after the first frame is large: its progress shows from the start.
    const bool large = std::exchange(m_bReadAfterFirstFrame, false);
    PacedProgress progress = WorkProgress(large, false);
    SceneFileReading how;
    how.nodes = &m_arena;  // whose pages a Restart reuses
    how.progress = [&progress](std::size_t done, std::size_t total) {
        return progress.Reading(kSceneFileName, done, total);
    };
    SceneReadResult result = [&how, this] {
        const DriverReserve reserve;
        return ReadSceneFile(kSceneFileName, std::string_view(kSceneFileName), how,
                             &m_sceneWarnings);
    }();
    if (m_pWork == nullptr) {
        EndWork();  // else the pane keeps its word until the compile has its own
    }
    m_pPolygons = std::move(result.scene.polygons);
    m_pCurves = std::move(result.scene.curves);
    m_pSurfaces = std::move(result.scene.surfaces);
    if (m_pWork != nullptr && m_pWork->WindowClosed()) {
        return;  // the program ends: nothing more is said
    }
    std::fputs(ReadingReport(result, m_sceneWarnings, "kavelo", kSceneFileName).c_str(), stderr);
    m_sceneDiagnostic = std::move(result.diagnostic);
    emit sceneRead();
}

namespace {

// A list from the arena is given up, for the arena takes every record back at once, without a walk
// over a large scene's pages; one from elsewhere (a file that could not be opened) is freed.
template <class Node>
void GiveBack(kavelo::scene::SceneList<Node>& list, const kavelo::scene::SceneNodeArena& arena) {
    if (&list.allocator() == &arena) {
        list.release();
    } else {
        list.reset();
    }
}

}  // namespace

void CSceneView::FreeLists() {
    GiveBack(m_pPolygons, m_arena);
    GiveBack(m_pCurves, m_arena);
    GiveBack(m_pSurfaces, m_arena);
    m_arena.FreeAll();
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
        CompileCurrent(CurrentSampling());  // under the matrices the latest frame left
    }
}

void CSceneView::CompileCurrent(const SamplingView& sampling) {
    // A compile left for after the first frame is known to be long: its progress shows from the
    // start.
    PacedProgress progress = WorkProgress(m_bCompileAfterFirstFrame, true);
    progress.Poll();        // a reading stopped by Esc leaves the compile stopped before it starts
    m_bDrawnAhead = false;  // drawn from the lists before
    const PrimitiveBudget budget = CurrentBudget(std::nullopt);
    const SceneListStats stats =
        CompileSceneList(SceneHeads(m_pPolygons.get(), m_pCurves.get(), m_pSurfaces.get()),
                         sampling, &progress, budget.budget, budget.room);
    if (m_pWork != nullptr && m_pWork->WindowClosed()) {
        return;  // the program ends: nothing more is said
    }
    // The compile's own message first, so that the pane goes straight from progress to it.
    if (stats.stopped) {  // says more than a reading's fault, which stopped it too
        m_sceneDiagnostic = CompileDiagnostic(stats);
        std::fprintf(stderr, "kavelo: %s\n", m_sceneDiagnostic->c_str());
        emit sceneRead();
    } else if (const std::string diagnostic = CompileDiagnostic(stats); !diagnostic.empty()) {
        std::fprintf(stderr, "%s\n", diagnostic.c_str());
        if (!m_sceneDiagnostic) {  // a reading's fault says more and stays
            m_sceneDiagnostic = diagnostic;
            emit sceneRead();
        }
    }
    if (m_pWork == nullptr && EndWork()) {
        makeCurrent();
    }
}

bool CSceneView::ReadAndCompile(bool read) {
    LongWork work(window());
    m_pWork = &work;
    if (!ScenePending()) {
        emit workProgress(QString());  // a Restart: no "Ready" while it runs
    }
    if (read) {
        ReadScene();
    }
    if (!work.WindowClosed()) {
        CompileScene();
        work.LetIn();
    }
    m_pWork = nullptr;
    m_bCompileAfterFirstFrame = false;
    if (work.WindowClosed()) {
        return false;
    }
    if (!EndWork()) {
        emit workProgress(QString());  // the idle text, no longer held back
    }
    return true;
}

bool CSceneView::WorkIsLong() const {
    return m_bReadAfterFirstFrame ||
           CompileMayTakeLong(SceneHeads(m_pPolygons.get(), m_pCurves.get(), m_pSurfaces.get()));
}

PacedProgress CSceneView::WorkProgress(bool fromStart, bool inContext) {
    // Every word in the status pane repaints the status bar, and every yield may repaint the
    // window, each in a context of its own: a compile, and whoever called it, go on in the view's.
    PacedProgress progress(
        [this, inContext](const std::string& text) {
            ShowWork(text);
            if (inContext) {
                makeCurrent();
            }
        },
        fromStart ? std::chrono::milliseconds(0) : std::chrono::milliseconds(500));
    progress.SetPoll([this, inContext] {
        if (m_pWork == nullptr) {
            return true;
        }
        if (m_pWork->Yield() && inContext) {
            makeCurrent();
        }
        return !m_pWork->StopAsked();
    });
    return progress;
}

void CSceneView::ShowWork(const std::string& text) {
    if (!m_bWorkShown) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_bWorkShown = true;
    }
    emit workProgress(QString::fromStdString(text));
}

bool CSceneView::EndWork() {
    if (!m_bWorkShown) {
        return false;
    }
    m_bWorkShown = false;
    QApplication::restoreOverrideCursor();
    emit workProgress(QString());
    return true;
}

void CSceneView::RenderScene() {
    RenderSceneFrame(*this, m_nWidth, m_nHeight, devicePixelRatioF());
}

void CSceneView::initializeGL() {
    m_hRC = context();
    // The first paint: the compile of a small scene into the widget's context does not touch the
    // window either.
    const OtherClientsLetIn meanwhile(*this);
    // GLU tessellates under the matrices and viewport of the moment: give it those of the
    // current size, as a resize would have set them, before the first compile.
    OnSize(DevicePixels(width()), DevicePixels(height()));
    // A large scene lets the frame, its panel and status bar show first, then is read and compiled
    // with its progress in the status pane: the first frame put on the screen posts the work.
    m_bCompileAfterFirstFrame = WorkIsLong();
    if (!m_bCompileAfterFirstFrame) {
        CompileCurrent(ResizeSampling(m_nWidth, m_nHeight));
        return;
    }
    // Only once the window with its first frame is on the screen: a compile started earlier would
    // hold back that frame, the panel and the status bar.
    connect(
        this, &QOpenGLWidget::frameSwapped, this,
        [this] {
            if (!m_bCompileAfterFirstFrame) {
                return;  // a Restart has read and compiled it meanwhile
            }
            // Its first picture may take seconds more to draw than to read and compile.
            QApplication::setOverrideCursor(Qt::WaitCursor);
            if (ReadAndCompile(m_bReadAfterFirstFrame)) {
                RepaintNow();
                m_finisher.BusyUntilNow();  // input made meanwhile waited: it merges
            }
            QApplication::restoreOverrideCursor();
        },
        static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
}

void CSceneView::paintGL() {
    if (m_pWork != nullptr) {
        return;  // the lists are being made: the picture before stays
    }
    if (std::exchange(m_bDrawnAhead, false)) {
        return;  // RepaintNow drew this very frame: the paint only shows it
    }
    // The picture goes into the widget's own buffer, which another client cannot take away: on a
    // large scene that takes seconds, during which the others are not held off.
    const OtherClientsLetIn meanwhile(*this);
    RenderScene();
    ++m_nFramesDrawn;
    QPainter painter(this);
    DrawBanner(painter, DevicePixels(width()));
    painter.end();
    // The painter's own GL state must not reach the next frame.
    ResetAfterPainter();
    if (meanwhile.LetOthersIn()) {
        glFinish();  // drawn before the window is held again for the flush
    }
}

void CSceneView::resizeEvent(QResizeEvent* event) {
    // Qt calls resizeGL only for a size with area; an empty one is stored here, with no GL call.
    if (event->size().isEmpty()) {
        OnSize(DevicePixels(event->size().width()), DevicePixels(event->size().height()));
    }
    QOpenGLWidget::resizeEvent(event);
}

void CSceneView::resizeGL(int width, int height) {
    OnSize(DevicePixels(width), DevicePixels(height));
}

void CSceneView::OnSize(int width, int height) {
    m_nWidth = width;
    m_nHeight = height;
    ApplyResize(width, height);
}

int CSceneView::DevicePixels(int logical) const {
    return qRound(logical * devicePixelRatioF());
}

// The new frame is drawn before the caller goes on. Qt may hold a synchronous repaint back while
// the previous frame is still being composed; the frame is then drawn here directly, and shown
// with the next composition, whose paint must not draw it a second time (on a slow scene that
// doubled the time until the picture settled).
void CSceneView::RepaintNow() {
    const int before = m_nFramesDrawn;
    m_bDrawnAhead = false;
    repaint();
    if (m_nFramesDrawn == before && isVisible() && m_hRC != nullptr) {
        makeCurrent();
        paintGL();
        doneCurrent();
        m_bDrawnAhead = m_nFramesDrawn != before;  // no frame while work is under way
        update();
    }
}

void CSceneView::IssueCommand(unsigned id, int count, const CommandInput& input) {
    for (int i = 0; i < count; ++i) {
        if (!m_route.empty()) {
            RouteCommand(m_route, id, input);
        } else {
            OnCmdMsg(id, input);  // a view without a frame is first and last on its route
        }
    }
}

void CSceneView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (m_drag) {
        return;
    }
    const Qt::KeyboardModifiers held = event->modifiers();
    DragKind kind = DragKind::kTurn;
    if (event->button() == Qt::MiddleButton ||
        (event->button() == Qt::LeftButton && (held & Qt::ShiftModifier) != 0)) {
        kind = DragKind::kPan;
    } else if (event->button() == Qt::RightButton ||
               (event->button() == Qt::LeftButton && (held & Qt::ControlModifier) != 0)) {
        kind = DragKind::kRoll;
    } else if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = event->position().toPoint();
    m_drag.emplace(kind, *this, Pixel{at.x(), at.y()}, width(), height());
    m_dragButton = event->button();
}

void CSceneView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_drag) {
        return;
    }
    const QPoint at = event->position().toPoint();
    m_finisher.BeginGesture();
    for (const StepCommands& step : m_drag->MoveTo(*this, Pixel{at.x(), at.y()})) {
        IssueCommand(step.id, step.count, {});
    }
    m_finisher.EndGesture({});
}

void CSceneView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == m_dragButton) {
        m_drag.reset();
        m_dragButton = Qt::NoButton;
    }
}

// One zoom command a notch of 120 units; finer wheels add up to whole notches.
void CSceneView::wheelEvent(QWheelEvent* event) {
    m_nWheelRest += event->angleDelta().y();
    const int notches = m_nWheelRest / 120;
    m_nWheelRest -= notches * 120;
    const CommandInput input = InputMadeAt(event->timestamp());
    m_finisher.BeginGesture();
    IssueCommand(notches > 0 ? ID_ZOOM_IN : ID_ZOOM_OUT, std::abs(notches), input);
    m_finisher.EndGesture(input);
    event->accept();
}

void CSceneView::RefreshPanel() {
    if (m_pPanel == nullptr) {
        return;
    }
    PanelFieldsOf fields(*m_pPanel);
    WritePanelFields(*this, fields);
    m_pPanel->repaint();
}

void CSceneView::OnMoveRight(const CommandInput& input) {
    MoveRight(*this);
    FinishCommand(input);
}
void CSceneView::OnMoveLeft(const CommandInput& input) {
    MoveLeft(*this);
    FinishCommand(input);
}
void CSceneView::OnMoveUp(const CommandInput& input) {
    MoveUp(*this);
    FinishCommand(input);
}
void CSceneView::OnMoveDown(const CommandInput& input) {
    MoveDown(*this);
    FinishCommand(input);
}
void CSceneView::OnZoomIn(const CommandInput& input) {
    ZoomIn(*this);
    FinishCommand(input);
}
void CSceneView::OnZoomOut(const CommandInput& input) {
    ZoomOut(*this);
    FinishCommand(input);
}
void CSceneView::OnRotateXPlus(const CommandInput& input) {
    RotateXPlus(*this);
    FinishCommand(input);
}
void CSceneView::OnRotateXMinus(const CommandInput& input) {
    RotateXMinus(*this);
    FinishCommand(input);
}
void CSceneView::OnRotateYPlus(const CommandInput& input) {
    RotateYPlus(*this);
    FinishCommand(input);
}
void CSceneView::OnRotateYMinus(const CommandInput& input) {
    RotateYMinus(*this);
    FinishCommand(input);
}
void CSceneView::OnRotateZPlus(const CommandInput& input) {
    RotateZPlus(*this);
    FinishCommand(input);
}
void CSceneView::OnRotateZMinus(const CommandInput& input) {
    RotateZMinus(*this);
    FinishCommand(input);
}
void CSceneView::OnPerspectivePlus(const CommandInput& input) {
    PerspectivePlus(*this);
    FinishCommand(input);
}
void CSceneView::OnPerspectiveMinus(const CommandInput& input) {
    PerspectiveMinus(*this);
    FinishCommand(input);
}

void CSceneView::OnFileRestart() {
    ResetParams();
    if (ReadAndCompile(true)) {
        FinishCommand();
    }
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
