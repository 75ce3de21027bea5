// What the memory limits leave: the least of them, each against what it counts.
#include <gtest/gtest.h>

#include <limits>

#include "scene/driver_reserve.h"

using kavelo::scene::MemoryFigures;
using kavelo::scene::MemoryLeft;

namespace {

TEST(MemoryLeft, TheTightestLimitAgainstWhatItCounts) {
    constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    auto figures = [](std::optional<std::size_t> as, std::optional<std::size_t> data,
                      std::optional<std::size_t> cgroup, std::optional<std::size_t> available) {
        MemoryFigures f;
        f.addressSpaceLimit = as;
        f.addressSpaceHeld = 300;
        f.dataLimit = data;
        f.dataHeld = 100;
        f.cgroupMax = cgroup;
        f.cgroupCurrent = 200;
        f.available = available;
        return f;
    };
    struct Case {
        MemoryFigures f;
        std::size_t left;
    } const cases[] = {
        {figures({}, {}, {}, {}), kNone},   {figures(1000, {}, {}, {}), 700},
        {figures({}, 1000, {}, {}), 900},   {figures({}, {}, 1000, {}), 800},
        {figures({}, {}, {}, 1000), 1000},  {figures(1000, 1000, 1000, 650), 650},
        {figures(200, 1000, 1000, 650), 0},  // already past the limit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MemoryLeft(c.f), c.left);
    }
}

}  // namespace
