#include <gtest/gtest.h>

#include "navigation/repeat_merger.h"

using kavelo::navigation::RepeatMerger;

namespace {

// Input times run 1000 ms behind the local clock; each finish takes 180 ms. Presses, repeats or
// wheel turns made while finishes run must share them; one made after the view fell idle, not.
TEST(RepeatMerger, OnlyStepsMadeWhileTheViewWasBusyWait) {
    struct Step {
        long madeMs;
        long nowMs;     // when it arrives
        bool deferred;  // expected
        long finishMs;  // when its finish, if any, ends (0: none runs now)
    };
    const Step steps[] = {
        {0, 1000, false, 1180},  // the first press
        {30, 1180, true, 0},     // made during its finish: waited
        {60, 1180, true, 0},       {150, 1180, true, 0},
        {179, 1181, true, 1400},    // the shared finish follows the last queued one
        {1000, 2000, false, 2180},  // made while idle: at once
        {1050, 2180, true, 2400},   // a separate press during a finish waits like a repeat
        {1399, 2400, true, 0},      // one millisecond before that finish ended
        {1400, 2401, false, 0},     // when it ended
    };
    RepeatMerger merger;
    for (const Step& s : steps) {
        EXPECT_EQ(merger.Defer(s.madeMs, s.nowMs), s.deferred) << s.madeMs;
        if (s.finishMs != 0) {
            merger.Finished(s.finishMs);
        }
    }
}

}  // namespace
