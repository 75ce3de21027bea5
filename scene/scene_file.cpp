// The scene file on disk. Only regular files are read, and only as far as the size they had
// when opened, so that every reading comes to an end.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

#include "scene/reader.h"

namespace kavelo::scene {

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

// The directory in which `path` was looked for. A viewer started from a desktop menu looks in
// the home directory, which its user may not expect.
std::string DirectoryOf(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string() : absolute.lexically_normal().parent_path().string();
}

struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
};

}  // namespace

SceneReadResult ReadSceneFile(const std::string& path, std::optional<std::string_view> fileName,
                              const SceneFileReading& how, std::vector<std::string>* warnings) {
    const std::string name(fileName.value_or(path));
    auto endedBy = [&name](const std::string& why) {
        SceneReadResult result = ReadSceneText({}, name);
        result.diagnostic = name + ": " + why;
        return result;
    };
    auto cannotOpen = [&](int error) {
        const std::string directory = DirectoryOf(path);
        return endedBy("cannot open: " + Reason(error) +
                       (directory.empty() ? "" : " (in " + directory + ")"));
    };

    // Anything but a regular file is refused before it is opened: a pipe would wait for its
    // writer, a device may never end, and opening some devices changes their state.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return cannotOpen(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return endedBy("not a regular file");
    }
    // The name may point elsewhere by now: open without waiting, and look again.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return cannotOpen(errno);
    }
    const Closer closer{fd};
    if (::fstat(fd, &info) != 0) {
        return endedBy("cannot read: " + Reason(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return endedBy("not a regular file");
    }

    // Copied, not mapped: the pages of a mapped file that shrinks under the reader vanish, and
    // touching them kills the process.
    const auto size = static_cast<std::size_t>(info.st_size);
    const std::unique_ptr<char[]> bytes(new (std::nothrow) char[size]);
    if (bytes == nullptr) {
        return endedBy("cannot read: " + Reason(ENOMEM));
    }
    const std::size_t chunk = std::max<std::size_t>(how.chunkBytes, 1);
    std::size_t got = 0;
    std::string problem;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.get() + got, std::min(chunk, size - got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            problem = "cannot read: " + Reason(errno);
            break;
        }
        if (n == 0) {
            problem = "shrank while it was read";
            break;
        }
        got += static_cast<std::size_t>(n);
        if (how.afterChunk) {
            how.afterChunk(got);
        }
    }
    if (problem.empty()) {
        char more = 0;
        ssize_t n = 0;
        do {
            n = ::read(fd, &more, 1);
        } while (n < 0 && errno == EINTR);
        if (n > 0) {
            problem = "grew while it was read";
        }
    }
    // What was read is kept. A change of size is the reason given, since it may have cut the
    // last item short.
    SceneReadResult result = ReadSceneText(std::string_view(bytes.get(), got), name, warnings);
    if (!problem.empty()) {
        result.diagnostic = name + ": " + problem;
    }
    return result;
}

}  // namespace kavelo::scene
