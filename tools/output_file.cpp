#include "tools/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "scene/retry.h"
#include "tools/command_line.h"

using kavelo::scene::RetryInterrupted;

namespace kavelo::tools {

namespace {

// The temporary file being written, for the signal handler, which may only unlink it.
char g_temporary[PATH_MAX];
volatile std::sig_atomic_t g_temporaryExists = 0;

extern "C" void RemoveTemporaryAndDie(int signal) {
    if (g_temporaryExists != 0) {
        ::unlink(g_temporary);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// SIGINT and SIGTERM remove the temporary file before they end the program; a signal the
// caller ignores stays ignored.
void RemoveTemporaryOnSignals() {
    static bool installed = false;
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction old {};
        if (!installed && ::sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) {
            std::signal(signal, RemoveTemporaryAndDie);
        }
    }
    installed = true;
}

// A new file in `folder` holding `bytes`, its mode as open() would give; the path through
// `temporary`. Returns the reason when it cannot be made or written; it is then gone.
std::string WriteTemporary(const std::filesystem::path& folder, std::string_view bytes,
                           std::string& temporary) {
    temporary = (folder / ".kavelo-render-XXXXXX").string();
    if (temporary.size() >= sizeof g_temporary) {
        return std::strerror(ENAMETOOLONG);
    }
    RemoveTemporaryOnSignals();
    std::memcpy(g_temporary, temporary.c_str(), temporary.size() + 1);
    g_temporaryExists = 1;  // a signal before the name is filled in unlinks nothing
    const int fd = ::mkostemp(g_temporary, O_CLOEXEC);
    if (fd < 0) {
        g_temporaryExists = 0;
        return std::strerror(errno);
    }
    temporary = g_temporary;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);  // as a file made by open() would be
    std::string failure = WriteAll(fd, bytes);
    if (::close(fd) != 0 && failure.empty()) {
        failure = std::strerror(errno);
    }
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        g_temporaryExists = 0;
    }
    return failure;
}

void RemoveTemporary(const std::string& temporary) {
    ::unlink(temporary.c_str());
    g_temporaryExists = 0;
}

// Truncates the file at `path` and writes `bytes` into it; a full disk may first show at close.
std::string Rewrite(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    const std::string failure = WriteAll(fd, bytes);
    if (::close(fd) != 0 && failure.empty()) {
        return std::strerror(errno);
    }
    return failure;
}

}  // namespace

std::string WriteAll(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = RetryInterrupted([&] { return ::write(fd, data, left); });
        if (n < 0) {
            return std::strerror(errno);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return {};
}

std::string ReplaceFile(const std::string& path, std::string_view bytes) {
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        return Rewrite(path, bytes);
    }
    // A link is followed: its target is what gets the picture.
    std::error_code error;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    const std::string file = error ? path : target.string();
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::string temporary;
    if (exists && ::access(file.c_str(), W_OK) == 0) {
        const bool besideIt = ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
        if (besideIt) {
            if (std::string failure = WriteTemporary(folder, bytes, temporary); !failure.empty()) {
                return failure;
            }
            RemoveTemporary(temporary);  // its room is the new bytes' room
        }
        return Rewrite(file, bytes);
    }
    std::string failure = WriteTemporary(folder, bytes, temporary);
    if (failure.empty()) {
        if (::rename(temporary.c_str(), file.c_str()) != 0) {
            failure = std::strerror(errno);
            ::unlink(temporary.c_str());
        }
        g_temporaryExists = 0;
    }
    return failure;
}

std::string WriteOutput(const std::string& output, std::string_view bytes) {
    return output == kStandardStream ? WriteAll(STDOUT_FILENO, bytes) : ReplaceFile(output, bytes);
}

}  // namespace kavelo::tools
