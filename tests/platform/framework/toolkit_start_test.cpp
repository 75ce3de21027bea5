// The line that says why no window can be shown names the display the toolkit would have used.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/framework/toolkit_start.h"

using kavelo::platform::framework::MissingDisplayMessage;

namespace {

TEST(MissingDisplayMessage, NamesTheDisplayOfThePlatformTried) {
    struct Case {
        std::map<std::string, std::string> env;
        const char* expected;
    };
    const Case cases[] = {
        {{}, "no display (DISPLAY is not set)"},
        {{{"DISPLAY", ":3"}, {"WAYLAND_DISPLAY", "wayland-1"}}, "cannot open display \":3\""},
        {{{"QT_QPA_PLATFORM", "xcb:no-glx"}, {"DISPLAY", ":4"}}, "cannot open display \":4\""},
        {{{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":3"}},
         "cannot open Wayland display \"wayland-0\""},
        {{{"QT_QPA_PLATFORM", "wayland-egl"}, {"WAYLAND_DISPLAY", "w9"}},
         "cannot open Wayland display \"w9\""},
        {{{"QT_QPA_PLATFORM", "bogus"}}, "cannot start display platform \"bogus\""},
    };
    for (const Case& c : cases) {
        const std::string line = MissingDisplayMessage([&](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it != c.env.end() ? it->second.c_str() : nullptr;
        });
        EXPECT_EQ(line, std::string("kavelo: ") + c.expected +
                            "; kavelo-render draws the scene without a display");
    }
}

}  // namespace
