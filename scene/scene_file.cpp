// The scene file on disk. Only regular files are read, and only as far as the size they had
// when opened, so that every reading comes to an end.
#include "scene/scene_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

#include "scene/retry.h"

namespace kavelo::scene {

namespace {

// The copy of a file, in pages of its own: a copy from the heap (under the heap's mmap threshold,
// 32 MiB) would leave its address space with the heap once freed, where under a limit on address
// space the driver needs it for the compile that follows.
class FileCopy {
  public:
    explicit FileCopy(std::size_t size) noexcept : m_size(size) {
        void* at = size > 0 ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                            : nullptr;
        m_bytes = at == MAP_FAILED ? nullptr : static_cast<char*>(at);
        m_error = at == MAP_FAILED ? errno : 0;
    }
    ~FileCopy() {
        if (m_bytes != nullptr) {
            ::munmap(m_bytes, m_size);
        }
    }
    FileCopy(const FileCopy&) = delete;
    FileCopy& operator=(const FileCopy&) = delete;

    // Null when the pages cannot be had, and then why; an empty file has none.
    char* get() const noexcept { return m_bytes; }
    int Error() const noexcept { return m_error; }

  private:
    char* m_bytes = nullptr;
    std::size_t m_size;
    int m_error = 0;
};

std::string Reason(int error) {
    return std::strerror(error);
}

// A reading that ends before any text: three empty lists and the reason.
SceneReadResult EndedBy(const std::string& name, const std::string& why, ReadFault fault) {
    SceneReadResult result = ReadSceneText({}, name);
    result.diagnostic = name + ": " + why;
    result.fault = fault;
    return result;
}

// The directory in which `path` was looked for, when it exists: a viewer started from a desktop
// menu looks in the home directory, which its user may not expect.
std::string ExistingDirectoryOf(const std::string& path) {
    std::error_code error;
    const std::filesystem::path directory =
        std::filesystem::absolute(path, error).lexically_normal().parent_path();
    return !error && std::filesystem::is_directory(directory, error) ? directory.string() : "";
}

SceneReadResult CannotOpen(const std::string& path, const std::string& name, int error) {
    const std::string directory = ExistingDirectoryOf(path);
    return EndedBy(
        name,
        "cannot open: " + Reason(error) + (directory.empty() ? "" : " (in " + directory + ")"),
        ReadFault::kNotOpened);
}

struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
};

// Reads `size` bytes of `fd` into `bytes`; sets `got` and returns the problem, if any.
std::string ReadKnownSize(int fd, char* bytes, std::size_t size, const SceneFileReading& how,
                          std::size_t& got) {
    const std::size_t chunk = std::max<std::size_t>(how.chunkBytes, 1);
    got = 0;
    while (got < size) {
        const ssize_t n =
            RetryInterrupted([&] { return ::read(fd, bytes + got, std::min(chunk, size - got)); });
        if (n <= 0) {
            return n < 0 ? "cannot read: " + Reason(errno) : "shrank while it was read";
        }
        got += static_cast<std::size_t>(n);
        if (how.afterChunk) {
            how.afterChunk(got);
        }
    }
    char more = 0;
    return RetryInterrupted([&] { return ::read(fd, &more, 1); }) > 0 ? "grew while it was read"
                                                                      : "";
}

struct FreeBytes {
    void operator()(char* bytes) const noexcept { std::free(bytes); }
};

// Grows `bytes` from `capacity` by as much as it can, up to double, and returns the new capacity:
// doubling keeps the copies few, and halved steps use what memory is left near the end.
std::size_t Grow(std::unique_ptr<char, FreeBytes>& bytes, std::size_t capacity,
                 std::size_t limitBytes) {
    constexpr std::size_t kLeastStep = std::size_t{1} << 12;
    for (std::size_t step = std::max<std::size_t>(capacity, 1 << 16); step >= kLeastStep;
         step /= 2) {
        const std::size_t wanted = capacity + step;
        void* grown = wanted <= limitBytes ? std::realloc(bytes.get(), wanted) : nullptr;
        if (grown != nullptr) {
            (void)bytes.release();
            bytes.reset(static_cast<char*>(grown));
            return wanted;
        }
    }
    return capacity;
}

}  // namespace

SceneReadResult ReadSceneFile(const std::string& path, std::optional<std::string_view> fileName,
                              const SceneFileReading& how, WarningList* warnings) {
    const std::string name(fileName.value_or(path));
    // Anything but a regular file is refused before it is opened: a pipe would wait for its
    // writer, a device may never end, and opening some devices changes their state. The name may
    // point elsewhere once opened: open without waiting, and look again.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return CannotOpen(path, name, errno);
    }
    const int fd = S_ISREG(info.st_mode)
                       ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)
                       : -1;
    if (fd < 0) {
        return S_ISREG(info.st_mode) ? CannotOpen(path, name, errno)
                                     : EndedBy(name, "not a regular file", ReadFault::kNotOpened);
    }
    const Closer closer{fd};
    if (::fstat(fd, &info) != 0) {
        return CannotOpen(path, name, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return EndedBy(name, "not a regular file", ReadFault::kNotOpened);
    }
    // Copied, not mapped: the pages of a mapped file that shrinks under the reader vanish, and
    // touching them kills the process.
    const auto size = static_cast<std::size_t>(info.st_size);
    const FileCopy bytes(size);
    if (bytes.get() == nullptr && size > 0) {
        return EndedBy(name, "cannot read: " + Reason(bytes.Error()), ReadFault::kOther);
    }
    std::size_t got = 0;
    const std::string problem = ReadKnownSize(fd, bytes.get(), size, how, got);
    // What was read is kept. A change of size is the reason given, since it may have cut the
    // last item short.
    SceneReadResult result =
        ReadSceneText(std::string_view(bytes.get(), got), name, warnings, how.progress, *how.nodes);
    if (!problem.empty()) {
        result.diagnostic = name + ": " + problem;
        result.fault = ReadFault::kOther;
    }
    return result;
}

bool ReadingMayTakeLong(const std::string& path) {
    constexpr off_t kLongBytes = off_t{8} << 20;  // a tenth of a second of reading here, or more
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= kLongBytes;
}

SceneReadResult ReadSceneStream(int fd, std::string_view fileName, WarningList* warnings,
                                std::size_t limitBytes) {
    const std::string name(fileName);
    std::unique_ptr<char, FreeBytes> bytes;
    std::size_t size = 0;
    std::size_t capacity = 0;
    bool outOfMemory = false;
    for (;;) {
        if (size == capacity) {
            const std::size_t grown = Grow(bytes, capacity, limitBytes);
            if (grown == capacity) {
                outOfMemory = true;
                break;
            }
            capacity = grown;
        }
        const ssize_t n =
            RetryInterrupted([&] { return ::read(fd, bytes.get() + size, capacity - size); });
        if (n < 0) {
            return EndedBy(name, "cannot read: " + Reason(errno), ReadFault::kOther);
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    SceneReadResult result = ReadSceneText(std::string_view(bytes.get(), size), name, warnings);
    if (outOfMemory) {
        const std::size_t items = CountItems(result.scene.polygons.get()) +
                                  CountItems(result.scene.curves.get()) +
                                  CountItems(result.scene.surfaces.get());
        result.diagnostic = OutOfMemoryDiagnostic(name, items);
        result.fault = ReadFault::kOther;
    }
    return result;
}

}  // namespace kavelo::scene
