// Starting the widget toolkit for a program that takes no arguments.
#pragma once

#include <QtGlobal>

#include <functional>
#include <string>

namespace kavelo::platform::framework {

// The one line that tells why no window can be shown: names the display the toolkit would use
// (from QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY as `env` gives them; null when unset) and
// points at the headless tool.
std::string MissingDisplayMessage(const std::function<const char*(const char*)>& env);

// While it lives, the toolkit's start-up cannot abort the program: when no platform can be
// started, MissingDisplayMessage goes to stderr and the process exits with status 1. Other
// messages of the start-up are held back and passed on when it ends.
class DisplayFailureReport {
  public:
    DisplayFailureReport();
    ~DisplayFailureReport();
    DisplayFailureReport(const DisplayFailureReport&) = delete;
    DisplayFailureReport& operator=(const DisplayFailureReport&) = delete;
};

}  // namespace kavelo::platform::framework
