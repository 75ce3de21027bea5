// Address space kept back while a scene is read. Under a limit on address space (ulimit -v) a
// file too large for it then stops the reading ("out of memory after N items") with room left
// for the OpenGL driver to make its context, compile the list and draw the frame, where running
// out would crash the driver instead. Without a limit nothing is kept.
#pragma once

#include <cstddef>
#include <optional>

namespace kavelo::scene {

// What the system lets the process still take, as each of its limits says; a limit not set, or
// that cannot be read, is empty.
struct MemoryFigures {
    std::optional<std::size_t> addressSpaceLimit;  // RLIMIT_AS, against the address space held
    std::size_t addressSpaceHeld = 0;
    std::optional<std::size_t> dataLimit;  // RLIMIT_DATA, against the data and heap held
    std::size_t dataHeld = 0;
    std::optional<std::size_t> cgroupMax;  // the cgroup's memory.max, against memory.current
    std::size_t cgroupCurrent = 0;
    std::optional<std::size_t> available;  // the system's MemAvailable
};

// The least of what the limits leave: what may still be taken without running into any of them.
// The largest size_t when none is known.
std::size_t MemoryLeft(const MemoryFigures& figures) noexcept;

// The figures of this process now, from getrlimit, /proc and the cgroup file system.
MemoryFigures ReadMemoryFigures() noexcept;

// The driver fails without a word on memory, or crashes, when too little is left for a context
// and its first frames (about 250 MiB of address space on llvmpipe): the MiB left then, else
// empty. `limitsOnly` counts only the process's own limits, which the driver runs into at once:
// asked before the driver is, the system's and the cgroup's figures would also count the page
// cache and the swap the kernel can still free, and refuse contexts the driver would make.
std::optional<std::size_t> MebibytesShortOfContext(bool limitsOnly = false) noexcept;

inline constexpr std::size_t kDriverReserveBytes = std::size_t{512} << 20;
// The viewer's window, context and first frame take about 250 MiB of address space beyond what
// it holds when it reads (measured at 512 MiB): under a tight limit the reading keeps room for
// them, and itself gets at least kLeastForReading.
inline constexpr std::size_t kDriverNeeds = std::size_t{320} << 20;
inline constexpr std::size_t kLeastForReading = std::size_t{128} << 20;

class DriverReserve {
  public:
    // Keeps `bytes` of address space until destroyed, under a limit half of what it leaves, or
    // up to kDriverNeeds where half is less, leaving the reading kLeastForReading at least.
    explicit DriverReserve(std::size_t bytes = kDriverReserveBytes) noexcept;
    ~DriverReserve();
    DriverReserve(const DriverReserve&) = delete;
    DriverReserve& operator=(const DriverReserve&) = delete;

    std::size_t Bytes() const noexcept { return m_bytes; }

  private:
    void* m_at = nullptr;
    std::size_t m_bytes = 0;
};

}  // namespace kavelo::scene
