// The status bar's one message pane.
#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <vector>

class QLabel;
class QMenuBar;

namespace kavelo::platform::widgets {

// A strip one text line high with a sunken text pane that stretches over the whole bar. Shows the
// idle text ("Ready" or what the owner sets) when nothing else is shown.
class MessagePane : public QWidget {
    Q_OBJECT
  public:
    explicit MessagePane(QWidget* parent = nullptr);

    void SetIdleText(const QString& text);  // also shows it if idle
    QString IdleText() const;
    void ShowIdle();
    void ShowMessage(const QString& text);  // a prompt, possibly empty
    // What the pane shows now, whole: a text too long for the pane is shown cut with an
    // ellipsis, and whole as the pane's tooltip.
    QString Text() const;

    // Fly-by: while the pointer rests (about 300 ms) on one of `widgets` the pane goes empty; when
    // it leaves them the idle text comes back.
    void WatchFlyBy(const std::vector<QWidget*>& widgets);

    // The frame's menu bar, whose highlighted title shows an empty pane.
    void WatchMenuBar(QMenuBar* bar);
    // From the frame's event() for QEvent::StatusTip: shows the tip, empty too, while a menu is
    // shown; an empty tip with no popup open and no title highlighted means the menu has closed.
    void OnStatusTip(const QString& tip);
    // From QMenu::aboutToHide: the idle text once no popup menu is open any more.
    void OnMenuClosed();

    // Whether the pointer is resting on a watched control and the pane goes empty when it stays.
    bool FlyByPending() const { return m_flyByTimer.isActive(); }

    static constexpr int kFlyByDelayMs = 300;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool PointerOnWatched() const;
    bool MenuShown() const;
    void OnFlyByTimer();
    void CheckFlyByLeft();
    void Show(const QString& text, bool idle);
    void Elide();

    QLabel* m_pText;
    QString m_text;  // whole, as given
    QString m_idleText;
    bool m_bIdle = true;
    bool m_bFlyBy = false;  // the pane was emptied by the fly-by and shows nothing else since
    QTimer m_flyByTimer;
    std::vector<QPointer<QWidget>> m_watched;
    QPointer<QMenuBar> m_menuBar;
};

}  // namespace kavelo::platform::widgets
