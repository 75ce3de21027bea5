#include "platform/widgets/message_pane.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QSizePolicy>

namespace kavelo::platform::widgets {

MessagePane::MessagePane(QWidget* parent)
    : QWidget(parent), m_pText(new QLabel(this)), m_idleText(QStringLiteral("Ready")) {
    m_pText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pText->setTextFormat(Qt::PlainText);
    m_pText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pText->setIndent(2);
    // A long prompt is cut off at the right end; it must not widen the frame.
    m_pText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pText, 1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    m_flyByTimer.setSingleShot(true);
    m_flyByTimer.setInterval(kFlyByDelayMs);
    connect(&m_flyByTimer, &QTimer::timeout, this, &MessagePane::OnFlyByTimer);

    Show(m_idleText, true);
}

void MessagePane::SetIdleText(const QString& text) {
    m_idleText = text;
    if (m_bIdle) {
        Show(m_idleText, true);
    }
}

QString MessagePane::IdleText() const {
    return m_idleText;
}

void MessagePane::ShowIdle() {
    m_bFlyBy = false;
    Show(m_idleText, true);
}

void MessagePane::ShowMessage(const QString& text) {
    m_bFlyBy = false;
    Show(text, false);
}

QString MessagePane::Text() const {
    return m_text;
}

void MessagePane::WatchMenuBar(QMenuBar* bar) {
    m_menuBar = bar;
}

bool MessagePane::MenuShown() const {
    return QApplication::activePopupWidget() != nullptr ||
           (m_menuBar != nullptr && m_menuBar->activeAction() != nullptr);
}

void MessagePane::OnStatusTip(const QString& tip) {
    if (tip.isEmpty() && !MenuShown()) {
        ShowIdle();
    } else {
        ShowMessage(tip);
    }
}

void MessagePane::OnMenuClosed() {
    // A submenu closing inside an open menu is not the end of the menu.
    if (!MenuShown()) {
        ShowIdle();
    }
}

void MessagePane::WatchFlyBy(const std::vector<QWidget*>& widgets) {
    for (QWidget* widget : widgets) {
        if (widget == nullptr) {
            continue;
        }
        m_watched.emplace_back(widget);
        widget->installEventFilter(this);
    }
}

bool MessagePane::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Enter:
            if (!m_bFlyBy && !m_flyByTimer.isActive()) {
                m_flyByTimer.start();
            }
            break;
        case QEvent::Leave:
            // The pointer may have gone straight onto another watched widget, whose Enter comes
            // after this Leave: decide once both have been delivered.
            QTimer::singleShot(0, this, &MessagePane::CheckFlyByLeft);
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

bool MessagePane::PointerOnWatched() const {
    for (const QPointer<QWidget>& widget : m_watched) {
        if (widget != nullptr && widget->isVisible() && widget->underMouse()) {
            return true;
        }
    }
    return false;
}

void MessagePane::OnFlyByTimer() {
    if (PointerOnWatched()) {
        Show(QString(), false);  // the controls have no prompts of their own
        m_bFlyBy = true;
    }
}

void MessagePane::CheckFlyByLeft() {
    if (PointerOnWatched()) {
        return;
    }
    m_flyByTimer.stop();
    if (m_bFlyBy) {
        ShowIdle();
    }
}

void MessagePane::Show(const QString& text, bool idle) {
    m_bIdle = idle;
    m_text = text;
    Elide();
}

void MessagePane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);  // the layout has given the label its new width before this
    Elide();
}

void MessagePane::Elide() {
    const int room = m_pText->contentsRect().width() - m_pText->indent();
    const QString shown = m_pText->fontMetrics().elidedText(m_text, Qt::ElideRight, room);
    m_pText->setText(shown);
    m_pText->setToolTip(shown != m_text ? m_text : QString());
}

}  // namespace kavelo::platform::widgets
