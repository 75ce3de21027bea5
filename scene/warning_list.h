// The warnings of one reading: the first few as text, every one counted, and each handed on as it
// is found to whoever lists them all. A file of a million mistakes then costs no more memory than
// a file of twenty.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kavelo::scene {

// Warnings kept as text, and written on stderr by the viewer and kavelo-render's pictures.
inline constexpr std::size_t kShownWarnings = 20;

class WarningList {
  public:
    using Each = std::function<void(const std::string&)>;

    // Keeps the first `keep`; `each`, when given, sees every warning.
    explicit WarningList(std::size_t keep = kShownWarnings, Each each = {});

    // Never throws: a warning that finds no room is counted alone.
    void Add(std::string text) noexcept;
    // Whether a warning's text is still wanted; if not, Count() alone says it happened.
    bool WantsText() const noexcept { return m_each || m_kept.size() < m_keep; }
    void Count() noexcept { ++m_count; }
    void Clear() noexcept;

    const std::vector<std::string>& Kept() const noexcept { return m_kept; }
    std::size_t Total() const noexcept { return m_count; }
    bool Empty() const noexcept { return m_count == 0; }
    // Whether every warning was handed on as it was found.
    bool Streams() const noexcept { return static_cast<bool>(m_each); }

  private:
    std::size_t m_keep;
    Each m_each;
    std::vector<std::string> m_kept;
    std::size_t m_count = 0;
};

// `n` with a comma between every three digits from the right: "7,710".
std::string GroupedNumber(std::size_t n);

}  // namespace kavelo::scene
