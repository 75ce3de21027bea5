#include "platform/framework/termination.h"

#include <fcntl.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

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

}  // namespace

bool CloseWindowsOnTermination() {
    if (g_signalPipe[0] >= 0) {
        return true;
    }
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    static DestroyedWindowCloser closer;
    qApp->installNativeEventFilter(&closer);
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
