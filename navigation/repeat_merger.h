// Which auto-repeated step commands share one repaint: a held key must not queue up frames.
#pragma once

#include <cstdint>

namespace kavelo::navigation {

// A repeat that the window system made while the view was still busy with an earlier step waited
// in the queue behind it; it does its arithmetic at once and leaves the repaint and the panel
// refresh to the finish that the steps queued with it share. A single press, any other key or
// command, and a repeat made while the view was idle finish at once.
//
// Key times are the window system's (milliseconds on its own clock), others the local clock in
// milliseconds; the smallest difference seen between the two stands for an event delivered at
// once.
class RepeatMerger {
  public:
    // A step command arrives from a key pressed at `keyMs`, `autoRepeat` or not, at `nowMs`.
    // Returns whether its finish is to be shared with the steps behind it.
    bool Defer(bool autoRepeat, std::int64_t keyMs, std::int64_t nowMs);
    // A repaint and panel refresh ended at `nowMs`.
    void Finished(std::int64_t nowMs) { m_finishedMs = nowMs; }

  private:
    bool m_bOffsetKnown = false;
    std::int64_t m_offsetMs = 0;  // local time minus key time, the least seen
    std::int64_t m_finishedMs = INT64_MIN;
};

}  // namespace kavelo::navigation
