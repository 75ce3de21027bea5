#include "platform/widgets/quiet_toolkit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace kavelo::platform::widgets {

void QuietenToolkit() {
    ::setenv("EGL_LOG_LEVEL", "fatal", 0);
    const char* set = std::getenv("XDG_RUNTIME_DIR");
    if (set != nullptr && *set != '\0') {
        return;
    }
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error) {
        return;
    }
    const std::string path =
        (temporary / ("kavelo-runtime-" + std::to_string(::getuid()))).string();
    ::mkdir(path.c_str(), 0700);
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
        (info.st_mode & 0777) == 0700) {
        ::setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
}

}  // namespace kavelo::platform::widgets
