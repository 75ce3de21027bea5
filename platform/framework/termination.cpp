#include "platform/framework/termination.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

namespace kavelo::platform::framework {

namespace {

// The handler may only write: the pipe hands the signal over to the event loop.
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int /*signal*/) {
    const char byte = 1;
    static_cast<void>(write(g_signalPipe[1], &byte, 1));
}

}  // namespace

bool CloseWindowsOnTermination() {
    if (g_signalPipe[0] >= 0) {
        return true;
    }
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
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
