#include "platform/framework/long_work.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QWindow>

#include <utility>

namespace kavelo::platform::framework {

namespace {

std::chrono::milliseconds g_first(500);
std::chrono::milliseconds g_every(50);

bool IsHeldInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            return true;
        default:
            return false;
    }
}

// A menu opened during the work, and what opens one (a press on the menu bar, Alt and Alt with a
// letter), work as always: the frame holds the commands they issue, all but the one that ends the
// program.
bool ForMenus(const QEvent& event) {
    if (QApplication::activePopupWidget() != nullptr) {
        return true;
    }
    if (const auto* key = dynamic_cast<const QKeyEvent*>(&event)) {
        const bool letter = key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z;
        return key->key() == Qt::Key_Alt || (letter && key->modifiers() == Qt::AltModifier);
    }
    if (event.type() != QEvent::MouseButtonPress) {
        return false;
    }
    const auto& press = static_cast<const QMouseEvent&>(event);
    return qobject_cast<QMenuBar*>(QApplication::widgetAt(press.globalPosition().toPoint())) !=
           nullptr;
}

// A fresh, not spontaneous copy of a key event: sent to a window, it passes the shortcuts (a
// menu's Alt+letter) before the focused widget, as a key from the window system does.
std::shared_ptr<QEvent> Replayable(const QEvent& event) {
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) {
        return std::shared_ptr<QEvent>(event.clone());
    }
    const auto& key = static_cast<const QKeyEvent&>(event);
    auto copy = std::make_shared<QKeyEvent>(
        key.type(), key.key(), key.modifiers(), key.nativeScanCode(), key.nativeVirtualKey(),
        key.nativeModifiers(), key.text(), key.isAutoRepeat(), key.count(), key.device());
    copy->setTimestamp(key.timestamp());
    return copy;
}

}  // namespace

int LongWork::s_nDepth = 0;
bool LongWork::s_bReplayPosted = false;
std::deque<std::function<void()>> LongWork::s_held;

LongWork::LongWork(QWidget* window)
    : m_pWindow(window),
      m_nextYield(std::chrono::steady_clock::now() + g_first),
      m_bWindowShown(window != nullptr && window->isVisible()) {
    ++s_nDepth;
    qApp->installEventFilter(this);
}

LongWork::~LongWork() {
    qApp->removeEventFilter(this);
    --s_nDepth;
    if (WindowClosed()) {
        s_held.clear();  // the program ends: what was typed for it is void
        return;
    }
    if (s_nDepth == 0 && !s_held.empty() && !s_bReplayPosted) {
        s_bReplayPosted = true;
        QMetaObject::invokeMethod(qApp, &LongWork::ReplayHeld, Qt::QueuedConnection);
    }
}

void LongWork::SetPace(std::chrono::milliseconds first, std::chrono::milliseconds every) {
    g_first = first;
    g_every = every;
}

bool LongWork::WindowClosed() const {
    return m_pWindow.isNull() || (m_bWindowShown && !m_pWindow->isVisible());
}

bool LongWork::Yield() {
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextYield || WindowClosed()) {
        return false;
    }
    LetIn();
    return true;
}

void LongWork::LetIn() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_nextYield = std::chrono::steady_clock::now() + g_every;
}

void LongWork::Hold(std::function<void()> later) {
    s_held.push_back(std::move(later));
}

// One at a time: an event may start new work, whose own input then waits behind what is left.
void LongWork::ReplayHeld() {
    s_bReplayPosted = false;
    while (!Running() && !s_held.empty()) {
        const std::function<void()> next = std::move(s_held.front());
        s_held.pop_front();
        next();
    }
}

bool LongWork::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (ForMenus(*event)) {
        return QObject::eventFilter(watched, event);
    }
    if (type == QEvent::ShortcutOverride) {
        event->accept();  // no shortcut now: the key press follows, and is held
        return true;
    }
    // Input reaches a window first, which hands it to the widget it is for; it is held there.
    if (!IsHeldInput(type) || !watched->isWindowType()) {
        return QObject::eventFilter(watched, event);
    }
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            m_bStopAsked = true;
            return true;
        }
    }
    Hold([window = QPointer<QObject>(watched), copy = Replayable(*event)] {
        if (window != nullptr) {
            QCoreApplication::sendEvent(window, copy.get());
        }
    });
    return true;
}

}  // namespace kavelo::platform::framework
