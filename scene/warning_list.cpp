#include "scene/warning_list.h"

#include <algorithm>
#include <new>
#include <utility>

namespace kavelo::scene {

WarningList::WarningList(std::size_t keep, Each each) : m_keep(keep), m_each(std::move(each)) {
    m_kept.reserve(std::min(keep, kShownWarnings));
}

void WarningList::Add(std::string text) noexcept {
    ++m_count;
    if (m_each) {
        m_each(text);
    }
    if (m_kept.size() < m_keep) {
        try {
            m_kept.push_back(std::move(text));
        } catch (const std::bad_alloc&) {
            m_keep = m_kept.size();  // past the room taken at first: the rest are counted
        }
    }
}

void WarningList::Clear() noexcept {
    m_kept.clear();
    m_count = 0;
}

std::string GroupedNumber(std::size_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, 1, ',');
    }
    return digits;
}

}  // namespace kavelo::scene
