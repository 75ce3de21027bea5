#include "platform/widgets/failure_message.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <cstdio>

namespace kavelo::platform::widgets {

bool MessageBoxesReadable() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return false;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr && screen->depth() > 8;
}

void ShowFailureMessage(const QString& caption, const QString& text) {
    if (MessageBoxesReadable()) {
        QMessageBox::critical(nullptr, caption, text);
        return;
    }
    const QByteArray line = (caption + QStringLiteral(": ") + text + u'\n').toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

}  // namespace kavelo::platform::widgets
