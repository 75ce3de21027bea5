#include "navigation/repeat_merger.h"

#include <algorithm>

namespace kavelo::navigation {

bool RepeatMerger::Defer(std::int64_t madeMs, std::int64_t nowMs) {
    const std::int64_t offset = nowMs - madeMs;
    m_offsetMs = m_bOffsetKnown ? std::min(m_offsetMs, offset) : offset;
    m_bOffsetKnown = true;
    // Made before the latest finish ended: it waited while the view was busy.
    return madeMs + m_offsetMs < m_finishedMs;
}

}  // namespace kavelo::navigation
