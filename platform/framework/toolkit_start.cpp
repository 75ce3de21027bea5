#include "platform/framework/toolkit_start.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

namespace kavelo::platform::framework {

namespace {

struct HeldMessage {
    QtMsgType type;
    QString category;
    QString text;
};

QtMessageHandler g_previousHandler = nullptr;
std::vector<HeldMessage> g_held;

void HoldOrReport(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // The platform plugin could not start: the toolkit would abort right after this.
        const std::string line =
            MissingDisplayMessage([](const char* name) { return std::getenv(name); }) + "\n";
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_held.push_back({type, QString::fromUtf8(context.category), text});
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

}  // namespace

std::string MissingDisplayMessage(const std::function<const char*(const char*)>& env) {
    const auto get = [&env](const char* name) -> std::string_view {
        const char* value = env(name);
        return value != nullptr ? std::string_view(value) : std::string_view();
    };
    // The first of a ";"-separated list of platforms is the one tried first.
    std::string_view platform = get("QT_QPA_PLATFORM");
    platform = platform.substr(0, platform.find(';'));
    platform = platform.substr(0, platform.find(':'));  // "xcb:option=..." names xcb
    std::string what;
    if (platform.empty() || platform == "xcb") {
        const std::string_view display = get("DISPLAY");
        what = display.empty() ? "no display (DISPLAY is not set)"
                               : "cannot open display " + Quoted(display);
    } else if (platform.starts_with("wayland")) {
        const std::string_view display = get("WAYLAND_DISPLAY");
        what = "cannot open Wayland display " + Quoted(display.empty() ? "wayland-0" : display);
    } else {
        what = "cannot start display platform " + Quoted(platform);
    }
    return "kavelo: " + what + "; kavelo-render draws the scene without a display";
}

DisplayFailureReport::DisplayFailureReport() {
    g_held.clear();
    g_previousHandler = qInstallMessageHandler(HoldOrReport);
}

DisplayFailureReport::~DisplayFailureReport() {
    qInstallMessageHandler(g_previousHandler);
    const std::vector<HeldMessage> held = std::exchange(g_held, {});
    for (const HeldMessage& message : held) {
        const QByteArray category = message.category.toUtf8();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        if (g_previousHandler != nullptr) {
            g_previousHandler(message.type, context, message.text);
        }
    }
}

}  // namespace kavelo::platform::framework
