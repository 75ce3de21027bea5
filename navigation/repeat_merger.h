// Which step commands share one repaint: presses, repeats and wheel turns that queued up behind a
// slow frame must not queue up frames too.
#pragma once

#include <cstdint>

namespace kavelo::navigation {

// A step whose input (a key press, repeated or not, or a wheel turn) the window system made while
// the view was still busy with an earlier step waited in the queue behind it; it does its
// arithmetic at once and leaves the repaint and the panel refresh to the finish that the steps
// queued with it share. A step made while the view was idle finishes at once.
//
// Input times are the window system's (milliseconds on its own clock), others the local clock in
// milliseconds; the smallest difference seen between the two stands for an event delivered at
// once.
class RepeatMerger {
  public:
    // A step command arrives from input made at `madeMs`, at `nowMs`. Returns whether its finish
    // is to be shared with the steps behind it.
    bool Defer(std::int64_t madeMs, std::int64_t nowMs);
    // A repaint and panel refresh ended at `nowMs`.
    void Finished(std::int64_t nowMs) { m_finishedMs = nowMs; }

  private:
    bool m_bOffsetKnown = false;
    std::int64_t m_offsetMs = 0;  // local time minus input time, the least seen
    std::int64_t m_finishedMs = INT64_MIN;
};

}  // namespace kavelo::navigation
