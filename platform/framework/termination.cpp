#include "platform/framework/termination.h"

#include <fcntl.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>
#include <csignal>
#include <cstdlib>
#include <utility>

namespace kavelo::platform::framework {

namespace {

// The handler may only write: the pipe hands the signal over to the event loop.
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int /*signal*/) {
    const char byte = 1;
    static_cast<void>(write(g_signalPipe[1], &byte, 1));
}

// Qt does not notice when another client destroys one of its windows (XDestroyWindow): the window
// is closed then, as by its close box, so that a program without a window does not go on.
class DestroyedWindowCloser final : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) override {
        if (type != "xcb_generic_event_t" ||
            (static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7f) !=
                XCB_DESTROY_NOTIFY) {
            return false;
        }
        const xcb_window_t window = static_cast<const xcb_destroy_notify_event_t*>(message)->window;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->internalWinId() == window) {
                // At once: a repaint would otherwise flush into the window that is gone.
                widget->close();
            }
        }
        return false;
    }
};

// The connection the toolkit and the GL driver share; none on another platform.
xcb_connection_t* Connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

bool g_bHeld = false;  // the server is grabbed: other clients wait

void Hold(xcb_connection_t* connection) {
    if (!std::exchange(g_bHeld, true)) {
        xcb_grab_server(connection);
    }
}

void LetGo(xcb_connection_t* connection) {
    if (std::exchange(g_bHeld, false)) {
        xcb_ungrab_server(connection);
        xcb_flush(connection);
    }
}

// Holds the server for its scope, and leaves it as it found it, also when an exception leaves: a
// paint nested in one that let the others in lets them in again after it.
class HeldScope {
  public:
    explicit HeldScope(xcb_connection_t* connection) noexcept
        : m_pConnection(connection), m_bWasHeld(g_bHeld) {
        Hold(connection);
    }
    ~HeldScope() {
        if (!m_bWasHeld) {
            LetGo(m_pConnection);
        }
    }
    HeldScope(const HeldScope&) = delete;
    HeldScope& operator=(const HeldScope&) = delete;

  private:
    xcb_connection_t* m_pConnection;
    bool m_bWasHeld;
};

// A round trip: the server has carried out all that came before, a destroy by another client too.
// A window not yet made (no id) counts as there.
bool StillThere(xcb_connection_t* connection, xcb_window_t window) {
    if (window == 0) {
        return true;
    }
    xcb_generic_error_t* error = nullptr;
    xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), &error);
    const bool there = reply != nullptr;
    std::free(reply);
    std::free(error);
    return there;
}

// The top-level window that `event` paints and flushes, if any: an update of the widget, or an
// expose or resize of its window.
QWidget* PaintedTopLevel(QObject* receiver, QEvent::Type type) {
    if (auto* widget = qobject_cast<QWidget*>(receiver)) {
        const bool painted = type == QEvent::UpdateRequest && widget->isWindow();
        return painted && widget->internalWinId() != 0 ? widget : nullptr;
    }
    if (type != QEvent::UpdateRequest && type != QEvent::Expose && type != QEvent::Resize) {
        return nullptr;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->internalWinId() != 0 && widget->windowHandle() == receiver) {
            return widget;
        }
    }
    return nullptr;
}

// Runs each paint of a top-level window with the server held, once the window is known to be
// there; a window found gone is closed instead.
class PaintGuard final : public QObject {
  public:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        QWidget* topLevel =
            event != m_pDelivering ? PaintedTopLevel(receiver, event->type()) : nullptr;
        xcb_connection_t* connection = topLevel != nullptr ? Connection() : nullptr;
        if (connection == nullptr) {
            return false;
        }
        bool there = false;
        {
            const HeldScope held(connection);
            there = StillThere(connection, topLevel->internalWinId());
            if (there) {
                QEvent* outer = std::exchange(m_pDelivering, event);
                QApplication::instance()->notify(receiver, event);
                m_pDelivering = outer;
            }
        }
        if (!there) {
            topLevel->close();
        }
        return true;
    }

  private:
    QEvent* m_pDelivering = nullptr;  // the event passed on, which the filter lets through
};

}  // namespace

OtherClientsLetIn::OtherClientsLetIn(QWidget& widget) : m_widget(widget), m_bWasHeld(g_bHeld) {
    if (m_bWasHeld) {
        LetGo(Connection());
    }
}

OtherClientsLetIn::~OtherClientsLetIn() {
    if (!m_bWasHeld) {
        return;
    }
    xcb_connection_t* connection = Connection();
    Hold(connection);
    QWidget* topLevel = m_widget.window();
    if (StillThere(connection, topLevel->internalWinId())) {
        return;
    }
    try {
        // The flush that ends the paint skips a window not shown on the screen.
        topLevel->setAttribute(Qt::WA_DontShowOnScreen);
        QMetaObject::invokeMethod(topLevel, &QWidget::close, Qt::QueuedConnection);
    } catch (...) {  // out of memory: the destroy's own event closes it
    }
}

bool CloseWindowsOnTermination() {
    if (g_signalPipe[0] >= 0) {
        return true;
    }
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    static DestroyedWindowCloser closer;
    qApp->installNativeEventFilter(&closer);
    static PaintGuard guard;
    qApp->installEventFilter(&guard);
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char bytes[16];
        while (read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        QApplication::closeAllWindows();
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, nullptr) == 0;
}

}  // namespace kavelo::platform::framework
