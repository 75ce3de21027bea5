#include "scene/driver_reserve.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

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

}  // namespace

DriverReserve::DriverReserve(std::size_t bytes) noexcept {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return;
    }
    // Under a tight limit the reading keeps half of what is left.
    const std::size_t held = AddressSpaceHeld();
    const std::size_t left = limit.rlim_cur > held ? limit.rlim_cur - held : 0;
    bytes = std::min(bytes, left / 2);
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
