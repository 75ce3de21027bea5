#include "platform/framework/resource_strings.h"

#include "shell/resources/resources.h"

namespace kavelo::platform::framework {

using kavelo::resources::DocumentString;
using kavelo::resources::StringEntry;
using kavelo::resources::StringTable;

std::string_view LoadString(unsigned id) {
    for (const StringEntry& entry : StringTable()) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return {};
}

std::string_view CommandPrompt(unsigned id) {
    const std::string_view text = LoadString(id);
    return text.substr(0, text.find('\n'));
}

std::string_view DocumentStringField(int index) {
    if (index < 0) {
        return {};
    }
    std::string_view rest = DocumentString();
    for (; index > 0; --index) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            return {};
        }
        rest.remove_prefix(end + 1);
    }
    return rest.substr(0, rest.find('\n'));
}

}  // namespace kavelo::platform::framework
