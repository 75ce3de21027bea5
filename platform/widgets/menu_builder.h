// Builds the frame's menu bar from the menu table.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "shell/resources/resource_types.h"

class QMenuBar;

namespace kavelo::platform::widgets {

struct MenuCallbacks {
    std::function<void(unsigned)> command;                 // an entry was chosen
    std::function<bool(unsigned)> enabled;                 // asked each time a popup opens
    std::function<std::optional<bool>(unsigned)> checked;  // nullopt: not checkable; asked on open
    std::function<std::string(unsigned)> prompt;           // status tip of an entry ("" for none)
};

// Appends the table's popups to `bar`: their "&" texts, separators, and one action per command
// with data() holding its id and its status tip set to prompt(id), empty included. No key names
// or shortcuts are shown. Missing callbacks leave entries enabled, uncheckable and without tip.
// A lone Alt or F10 selects the bar (its first title highlighted) for the arrows, Enter and Esc;
// Esc or a second Alt leaves it. Otherwise the bar never holds the keyboard without an open
// popup: when a popup closes (Esc included), the keys go back to the widget that had them.
void BuildMenuBar(QMenuBar* bar, std::span<const kavelo::resources::MenuEntry> menu,
                  MenuCallbacks callbacks);

}  // namespace kavelo::platform::widgets
