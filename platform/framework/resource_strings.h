// Access to the string resources, as the framework's LoadString gives it.
#pragma once

#include <string_view>

namespace kavelo::platform::framework {

// The whole entry of the string table, empty when there is none.
std::string_view LoadString(unsigned id);
// The prompt part of a command's string (before the "\n"), empty when there is none.
std::string_view CommandPrompt(unsigned id);
// Field `index` of the document string (0 window title, 1 document name, ...), empty when there
// is none.
std::string_view DocumentStringField(int index);

}  // namespace kavelo::platform::framework
