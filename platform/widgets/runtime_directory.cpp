#include "platform/widgets/runtime_directory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kavelo::platform::widgets {

PrivateRuntimeDirectory::PrivateRuntimeDirectory() {
    const char* set = std::getenv("XDG_RUNTIME_DIR");
    if (set != nullptr && *set != '\0') {
        return;
    }
    std::error_code error;
    std::string pattern =
        (std::filesystem::temp_directory_path(error) / "kavelo-runtime-XXXXXX").string();
    // mkdtemp makes it with mode 0700, as the toolkit requires.
    if (!error && ::mkdtemp(pattern.data()) != nullptr) {
        m_made = pattern;
        ::setenv("XDG_RUNTIME_DIR", m_made.c_str(), 1);
    }
}

PrivateRuntimeDirectory::~PrivateRuntimeDirectory() {
    if (!m_made.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_made, ignored);
    }
}

}  // namespace kavelo::platform::widgets
