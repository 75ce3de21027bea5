#include <gtest/gtest.h>

#include "navigation/repeat_merger.h"

using kavelo::navigation::RepeatMerger;

namespace {

// Key times run 1000 ms behind the local clock; each finish takes 180 ms. A repeat every 30 ms
// while finishes run must share them; a press, or a repeat made after the view fell idle, not.
TEST(RepeatMerger, OnlyRepeatsMadeWhileTheViewWasBusyWait) {
    struct Step {
        bool autoRepeat;
        long keyMs;
        long nowMs;     // when it arrives
        bool deferred;  // expected
        long finishMs;  // when its finish, if any, ends (0: none runs now)
    };
    const Step steps[] = {
        {false, 0, 1000, false, 1180},  // the press
        {true, 30, 1180, true, 0},      // made during its finish: waited
        {true, 60, 1180, true, 0},        {true, 150, 1180, true, 0},
        {true, 179, 1181, true, 1400},     // the shared finish follows the last queued one
        {true, 1000, 2000, false, 2180},   // made while idle: at once
        {false, 1050, 2180, false, 2400},  // another key during a finish: at once all the same
        {true, 1399, 2400, true, 0},       // one millisecond before that finish ended
        {true, 1400, 2401, false, 0},      // when it ended
    };
    RepeatMerger merger;
    for (const Step& s : steps) {
        EXPECT_EQ(merger.Defer(s.autoRepeat, s.keyMs, s.nowMs), s.deferred) << s.keyMs;
        if (s.finishMs != 0) {
            merger.Finished(s.finishMs);
        }
    }
}

}  // namespace
