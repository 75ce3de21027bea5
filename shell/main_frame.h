// The main window: menu, the control panel docked at the left over the full client height, the
// view, and the status bar under the view.
#pragma once

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <span>

#include "platform/framework/command_routing.h"
#include "platform/widgets/message_pane.h"
#include "shell/control_panel.h"
#include "view/panel_host.h"

class QFrame;
class QMenuBar;
class CSceneView;
class CSceneDoc;

namespace kavelo::platform::framework {
class AcceleratorFilter;
}  // namespace kavelo::platform::framework

class CMainFrame : public QWidget,
                   public kavelo::platform::framework::MessageMapTarget<CMainFrame>,
                   public kavelo::view::PanelHost {
    Q_OBJECT

  public:
    CMainFrame();
    ~CMainFrame() override;

    static std::span<const kavelo::platform::framework::MessageMapEntry<CMainFrame>>
    GetMessageMap();

    // Menu, window creation (OnCreate) and key table; false when the window cannot be made.
    bool LoadFrame(CSceneDoc* document, kavelo::platform::framework::CCmdTarget* application);
    // Window creation: the view, the panel, the status bar. 0 on success, -1 to abandon.
    int OnCreate();
    // The view becomes the active view and gets its initial update; the caption is set.
    void InitialUpdateFrame();

    // Sends a command along the route: active view, document, frame, application. Menu items
    // and buttons issue theirs without an input; the key table and the view's mouse send theirs
    // along the route itself.
    bool RouteCommand(unsigned id, const kavelo::platform::framework::CommandInput& input = {});
    std::span<kavelo::platform::framework::CCmdTarget* const> CommandRoute() const override {
        return m_route;
    }
    bool IsCommandEnabled(unsigned id) const;

    void OnViewStatusBar();

    // Once a window manager has framed the window, the frame is made to fit the screen's
    // available area if it does not: the first size cannot know the frame's margins.
    void FitFrameOnceFramed() { m_bFitPending = true; }

    CControlPanel* GetControlPanel() override { return &m_wndControlPanel; }
    CSceneView* GetActiveView() const { return m_route[0] != nullptr ? m_pView : nullptr; }
    kavelo::platform::widgets::MessagePane& StatusBar() { return m_wndStatusBar; }
    QMenuBar* MenuBar() const { return m_pMenuBar; }

    CControlPanel m_wndControlPanel;
    kavelo::platform::widgets::MessagePane m_wndStatusBar;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void SetMinimumSize();
    void RecalcLayout();
    void UpdateIdleText();

    QMenuBar* m_pMenuBar = nullptr;
    QFrame* m_pViewEdge = nullptr;  // the view's sunken edge
    CSceneView* m_pView = nullptr;
    QPointer<QWidget> m_pClickedControl;  // a panel control clicked while the frame was inactive
    CSceneDoc* m_pDocument = nullptr;
    // Active view (once the initial update has made the view active), document, frame,
    // application.
    std::array<kavelo::platform::framework::CCmdTarget*, 4> m_route{};
    std::unique_ptr<kavelo::platform::framework::AcceleratorFilter> m_pAccelerators;
    bool m_bFitPending = false;
};
