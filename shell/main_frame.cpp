#include "shell/main_frame.h"

#include <QEvent>
#include <QFrame>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusTipEvent>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/framework/accelerator_filter.h"
#include "platform/framework/long_work.h"
#include "platform/framework/resource_strings.h"
#include "platform/widgets/menu_builder.h"
#include "platform/widgets/utf8_text.h"
#include "scene/read_report.h"
#include "shell/resources/resources.h"
#include "shell/scene_doc.h"
#include "view/scene_view.h"

using kavelo::platform::framework::AcceleratorFilter;
using kavelo::platform::framework::CCmdTarget;
using kavelo::platform::framework::CommandInput;
using kavelo::platform::framework::CommandPrompt;
using kavelo::platform::framework::DocumentStringField;
using kavelo::platform::framework::LongWork;
using kavelo::platform::framework::MessageMapEntry;
using kavelo::platform::widgets::BuildMenuBar;
using kavelo::platform::widgets::DialogControls;
using kavelo::platform::widgets::FromUtf8;
using kavelo::platform::widgets::MenuCallbacks;
using kavelo::resources::ControlKind;
using kavelo::resources::ControlPanelTemplate;
using kavelo::resources::DialogControl;
using kavelo::resources::kDisabled;
using kavelo::resources::MainAccelerators;
using kavelo::resources::MainMenu;
using kavelo::scene::StatusPaneText;

CMainFrame::CMainFrame() {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

CMainFrame::~CMainFrame() = default;

std::span<const MessageMapEntry<CMainFrame>> CMainFrame::GetMessageMap() {
    static const MessageMapEntry<CMainFrame> kMap[] = {
        {ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar},
    };
    return kMap;
}

bool CMainFrame::LoadFrame(CSceneDoc* document, CCmdTarget* application) {
    m_pDocument = document;
    m_route = {nullptr, document, this, application};
    m_pMenuBar = new QMenuBar(this);
    MenuCallbacks callbacks;
    callbacks.command = [this](unsigned id) {
        // A menu's command waits for long work under way; Exit ends it now.
        if (LongWork::Running() && id != ID_APP_EXIT) {
            LongWork::Hold([this, id] { RouteCommand(id); });
            return;
        }
        RouteCommand(id);
    };
    callbacks.enabled = [this](unsigned id) { return IsCommandEnabled(id); };
    callbacks.checked = [this](unsigned id) -> std::optional<bool> {
        if (id == ID_VIEW_STATUS_BAR) {
            return !m_wndStatusBar.isHidden();
        }
        return std::nullopt;
    };
    callbacks.prompt = [](unsigned id) { return std::string(CommandPrompt(id)); };
    BuildMenuBar(m_pMenuBar, MainMenu(), std::move(callbacks));
    for (QMenu* menu : m_pMenuBar->findChildren<QMenu*>()) {
        // Queued: while aboutToHide runs, the closing menu is still the open popup.
        connect(
            menu, &QMenu::aboutToHide, this, [this] { m_wndStatusBar.OnMenuClosed(); },
            Qt::QueuedConnection);
    }
    if (OnCreate() == -1) {
        return false;
    }
    m_pAccelerators = std::make_unique<AcceleratorFilter>(this, MainAccelerators(), m_route);
    return true;
}

int CMainFrame::OnCreate() {
    // The view's window has a sunken client edge (WS_EX_CLIENTEDGE): drawn behind it, around
    // its client area.
    m_pViewEdge = new QFrame(this);
    m_pViewEdge->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_pView = new CSceneView(this);
    if (m_pView->OnCreate() == -1) {
        return -1;
    }
    connect(m_pView, &CSceneView::sceneRead, this, &CMainFrame::UpdateIdleText);
    // Progress shows from inside the work: only the status pane is repainted.
    connect(m_pView, &CSceneView::workProgress, this, [this](const QString& text) {
        if (text.isEmpty()) {
            UpdateIdleText();
            m_wndStatusBar.ShowIdle();
        } else {
            m_wndStatusBar.ShowMessage(text);
        }
        m_wndStatusBar.repaint();
    });

    m_wndControlPanel.setParent(this);
    m_wndControlPanel.SetBarStyle(CBRS_BORDER_RIGHT);
    m_wndControlPanel.Controls().onCommand = [this](unsigned id) { RouteCommand(id); };
    // Commands of the panel's buttons are enabled exactly when something on the route has them.
    for (const DialogControl& control : ControlPanelTemplate().controls) {
        const bool button =
            control.kind == ControlKind::PushButton || control.kind == ControlKind::DefPushButton;
        QWidget* widget = m_wndControlPanel.Controls().Item(control.id);
        if (button && widget != nullptr && (control.style & kDisabled) == 0) {
            widget->setEnabled(IsCommandEnabled(static_cast<unsigned>(control.id)));
        }
    }
    for (QWidget* control : m_wndControlPanel.Controls().InOrder()) {
        control->installEventFilter(this);
    }
    m_wndControlPanel.show();

    m_wndStatusBar.setParent(this);
    // The fly-by covers the controls with identifiers, the fields and buttons; not the labels
    // and group frames.
    const DialogControls& controls = m_wndControlPanel.Controls();
    std::vector<QWidget*> flyBy;
    for (std::size_t i = 0; i < controls.InOrder().size(); ++i) {
        if (controls.IdAt(i) != IDC_STATIC) {
            flyBy.push_back(controls.InOrder()[i]);
        }
    }
    m_wndStatusBar.WatchFlyBy(flyBy);
    m_wndStatusBar.WatchMenuBar(m_pMenuBar);
    UpdateIdleText();
    m_wndStatusBar.show();
    m_pViewEdge->show();
    m_pView->show();
    SetMinimumSize();
    RecalcLayout();
    return 0;
}

// The smallest frame that still shows the panel down to its Update button and a view of a few
// dozen pixels with the status bar under it.
void CMainFrame::SetMinimumSize() {
    constexpr int kSmallestView = 48;
    constexpr int kBelowUpdate = 6;
    const QWidget* update = m_wndControlPanel.Controls().Item(IDC_UPDATE);
    const int panelHeight =
        update != nullptr
            ? update->mapTo(&m_wndControlPanel, QPoint(0, update->height())).y() + kBelowUpdate
            : 0;
    const int edge = 2 * m_pViewEdge->frameWidth();
    const int rightHeight = kSmallestView + edge + m_wndStatusBar.sizeHint().height();
    setMinimumSize(m_wndControlPanel.sizeHint().width() + kSmallestView + edge,
                   m_pMenuBar->sizeHint().height() + std::max(panelHeight, rightHeight));
}

void CMainFrame::InitialUpdateFrame() {
    m_route[0] = m_pView;
    const QString frameTitle = FromUtf8(DocumentStringField(0));
    setWindowTitle(m_pDocument->GetTitle() + QStringLiteral(" - ") + frameTitle);
}

bool CMainFrame::RouteCommand(unsigned id, const CommandInput& input) {
    return kavelo::platform::framework::RouteCommand(m_route, id, input);
}

bool CMainFrame::IsCommandEnabled(unsigned id) const {
    // Before the initial update the view is not yet the active view, but it will be.
    std::array<CCmdTarget*, 4> route = m_route;
    route[0] = m_pView;
    return kavelo::platform::framework::IsCommandEnabled(route, id);
}

void CMainFrame::OnViewStatusBar() {
    m_wndStatusBar.setVisible(m_wndStatusBar.isHidden());
    RecalcLayout();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        m_wndStatusBar.OnStatusTip(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    // Activating the window gives the keyboard to the view, wherever it was before, unless the
    // activation came from a click into a panel control: the click takes the keyboard there.
    if (event->type() == QEvent::WindowActivate && GetActiveView() != nullptr) {
        QWidget* clicked = std::exchange(m_pClickedControl, nullptr);
        if (clicked != nullptr && clicked->isVisible() && clicked->isEnabled()) {
            clicked->setFocus(Qt::MouseFocusReason);
        } else {
            m_pView->setFocus(Qt::ActiveWindowFocusReason);
        }
    }
    return QWidget::event(event);
}

// Without a window manager the click that activates the frame arrives before the activation.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && !isActiveWindow()) {
        auto* control = qobject_cast<QWidget*>(watched);
        if (control != nullptr && (control->focusPolicy() & Qt::ClickFocus)) {
            m_pClickedControl = control;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The window manager moves the window into its frame; from then on the frame is known.
    if (!m_bFitPending || frameGeometry() == geometry() || screen() == nullptr) {
        return;
    }
    m_bFitPending = false;
    const QRect room = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    if (room.contains(frame)) {
        return;
    }
    const QSize margins = frame.size() - size();
    resize(size().boundedTo(room.size() - margins).expandedTo(minimumSize()));
    move(room.topLeft());  // a window's position is its frame's
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RecalcLayout();
}

// The panel takes the full client height at its template's width; the status bar takes one text
// line under the view only; the view gets the rest.
void CMainFrame::RecalcLayout() {
    if (m_pView == nullptr) {
        return;
    }
    const int menuHeight = m_pMenuBar != nullptr ? m_pMenuBar->sizeHint().height() : 0;
    if (m_pMenuBar != nullptr) {
        m_pMenuBar->setGeometry(0, 0, width(), menuHeight);
    }
    const int clientHeight = std::max(0, height() - menuHeight);
    const int panelWidth = m_wndControlPanel.sizeHint().width();
    m_wndControlPanel.setGeometry(0, menuHeight, panelWidth, clientHeight);
    const int rightWidth = std::max(0, width() - panelWidth);
    const int statusHeight =
        m_wndStatusBar.isHidden() ? 0 : std::min(clientHeight, m_wndStatusBar.sizeHint().height());
    m_pViewEdge->setGeometry(panelWidth, menuHeight, rightWidth, clientHeight - statusHeight);
    m_pView->setGeometry(m_pViewEdge->contentsRect().translated(m_pViewEdge->pos()));
    if (!m_wndStatusBar.isHidden()) {
        m_wndStatusBar.setGeometry(panelWidth, menuHeight + clientHeight - statusHeight, rightWidth,
                                   statusHeight);
    }
}

// Nothing while the view has work pending. A reading that ended on a fault says so where "Ready"
// would stand, until one reads cleanly; one that read with warnings shows the first of them there,
// and how many there are.
void CMainFrame::UpdateIdleText() {
    if (m_pView != nullptr && m_pView->WorkPending()) {
        m_wndStatusBar.SetIdleText(QString());  // no "Ready" while work is to come
        return;
    }
    const std::string text =
        m_pView != nullptr ? StatusPaneText(m_pView->SceneDiagnostic(), m_pView->SceneWarnings())
                           : std::string();
    m_wndStatusBar.SetIdleText(text.empty() ? FromUtf8(CommandPrompt(AFX_IDS_IDLEMESSAGE))
                                            : QString::fromStdString(text));
}
