#include "scene/driver_reserve.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace kavelo::scene {

namespace {

// Bytes of address space the process holds now; 0 when that cannot be told.
std::size_t AddressSpaceHeld() noexcept {
    std::FILE* statm = std::fopen("/proc/self/statm", "re");
    if (statm == nullptr) {
        return 0;
    }
    unsigned long pages = 0;
    const bool read = std::fscanf(statm, "%lu", &pages) == 1;
    std::fclose(statm);
    return read ? pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

// The value in kB of the line that starts with `key` (as "VmData:") in a /proc file, in bytes.
std::optional<std::size_t> ProcField(const char* path, const char* key) noexcept {
    std::FILE* file = std::fopen(path, "re");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::optional<std::size_t> bytes;
    char line[256];
    const std::size_t length = std::strlen(key);
    while (!bytes && std::fgets(line, sizeof line, file) != nullptr) {
        unsigned long kb = 0;
        if (std::strncmp(line, key, length) == 0 && std::sscanf(line + length, "%lu", &kb) == 1) {
            bytes = static_cast<std::size_t>(kb) << 10;
        }
    }
    std::fclose(file);
    return bytes;
}

// One number in a cgroup file; empty for "max" or what cannot be read.
std::optional<std::size_t> CgroupValue(const char* folder, const char* name) noexcept {
    char path[4096];
    if (std::snprintf(path, sizeof path, "/sys/fs/cgroup%s/%s", folder, name) >=
        static_cast<int>(sizeof path)) {
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path, "re");
    if (file == nullptr) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    const bool read = std::fscanf(file, "%llu", &value) == 1;
    std::fclose(file);
    return read ? std::optional<std::size_t>(value) : std::nullopt;
}

// The process's own cgroup of the unified hierarchy ("0::/user.slice/..."): its memory.max and
// memory.current.
void ReadCgroup(MemoryFigures& figures) noexcept {
    std::FILE* file = std::fopen("/proc/self/cgroup", "re");
    if (file == nullptr) {
        return;
    }
    char line[4096];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, "0::", 3) == 0) {
            line[std::strcspn(line, "\n")] = '\0';
            figures.cgroupMax = CgroupValue(line + 3, "memory.max");
            figures.cgroupCurrent = CgroupValue(line + 3, "memory.current").value_or(0);
        }
    }
    std::fclose(file);
}

std::optional<std::size_t> Limit(int resource) noexcept {
    rlimit limit{};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(limit.rlim_cur);
}

std::size_t LeftUnder(const std::optional<std::size_t>& limit, std::size_t held) noexcept {
    if (!limit) {
        return std::numeric_limits<std::size_t>::max();
    }
    return *limit > held ? *limit - held : 0;
}

}  // namespace

std::size_t MemoryLeft(const MemoryFigures& f) noexcept {
    return std::min({LeftUnder(f.addressSpaceLimit, f.addressSpaceHeld),
                     LeftUnder(f.dataLimit, f.dataHeld), LeftUnder(f.cgroupMax, f.cgroupCurrent),
                     LeftUnder(f.available, 0)});
}

std::optional<std::size_t> MebibytesShortOfContext(bool limitsOnly) noexcept {
    constexpr std::size_t kContextBytes = std::size_t{256} << 20;
    MemoryFigures figures = ReadMemoryFigures();
    if (limitsOnly) {
        figures.cgroupMax.reset();
        figures.available.reset();
    }
    const std::size_t left = MemoryLeft(figures);
    if (left >= kContextBytes) {
        return std::nullopt;
    }
    return left >> 20;
}

MemoryFigures ReadMemoryFigures() noexcept {
    MemoryFigures figures;
    figures.addressSpaceLimit = Limit(RLIMIT_AS);
    figures.addressSpaceHeld = AddressSpaceHeld();
    figures.dataLimit = Limit(RLIMIT_DATA);
    figures.dataHeld = ProcField("/proc/self/status", "VmData:").value_or(0);
    ReadCgroup(figures);
    figures.available = ProcField("/proc/meminfo", "MemAvailable:");
    return figures;
}

DriverReserve::DriverReserve(std::size_t bytes) noexcept {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return;
    }
    // Half of what is left, unless the driver needs more and the reading can do with less.
    const std::size_t held = AddressSpaceHeld();
    const std::size_t left = limit.rlim_cur > held ? limit.rlim_cur - held : 0;
    const std::size_t forReading = std::min(left / 2, kLeastForReading);
    bytes = std::min(bytes, std::max(left / 2, std::min(kDriverNeeds, left - forReading)));
    if (held == 0 || bytes == 0) {
        return;
    }
    // Inaccessible pages cost no memory, only address space, which is what the limit counts.
    void* at =
        ::mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (at != MAP_FAILED) {
        m_at = at;
        m_bytes = bytes;
    }
}

DriverReserve::~DriverReserve() {
    if (m_at != nullptr) {
        ::munmap(m_at, m_bytes);
    }
}

}  // namespace kavelo::scene
