// Address space kept back while a scene is read. Under a limit on address space (ulimit -v) a
// file too large for it then stops the reading ("out of memory after N items") with room left
// for the OpenGL driver to make its context, compile the list and draw the frame, where running
// out would crash the driver instead. Without a limit nothing is kept.
#pragma once

#include <cstddef>

namespace kavelo::scene {

inline constexpr std::size_t kDriverReserveBytes = std::size_t{512} << 20;

class DriverReserve {
  public:
    // Keeps `bytes` of address space, at most half of what the limit leaves, until destroyed.
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
