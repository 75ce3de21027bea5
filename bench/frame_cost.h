// What the frame benchmarks share: the scenes they draw, the heap they draw with, and the page
// faults and CPU time (of every thread: Mesa rasterises on its own) a frame costs.
#pragma once

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "scene/heap_settings.h"

namespace kavelo::bench {

// A grid of `columns` x `rows` bicubic patches over the view, each bulging towards the eye and
// `fill` cells wide: 40 x 25 at 10 is the "1,000 patches" scene (40,000 triangles, each pixel
// covered several times), 100 x 100 at 0.5 the "10,000 small patches" one (GLU's least sampling).
inline std::string PatchGridText(int columns, int rows, double fill) {
    std::string text;
    char number[64];
    const double dx = 1.9 / columns;
    const double dy = 1.9 / rows;
    for (int k = 0; k < columns * rows; ++k) {
        const double x = -0.95 + (k % columns) * dx;
        const double y = -0.95 + (k / columns) * dy;
        text += "S {";
        for (int i = 0; i < 16; ++i) {
            const bool inner = (i / 4) % 3 != 0 && (i % 4) % 3 != 0;
            const double w = inner ? 2.0 : 1.0;
            std::snprintf(number, sizeof number, " %.6f %.6f %.6f %.1f",
                          (x + (i / 4) * fill * dx / 3) * w, (y + (i % 4) * fill * dy / 3) * w,
                          (inner ? 0.3 : 0.0) * w, w);
            text += number;
        }
        text += " }\n";
    }
    return text;
}

// The programs' own heap settings, unless KAVELO_BENCH_DEFAULT_HEAP is set: then glibc's
// defaults, as before the programs set any, or as GLIBC_TUNABLES sets them from outside.
// Returns whether the programs' settings apply.
inline bool ConfigureBenchHeap() {
    if (std::getenv("KAVELO_BENCH_DEFAULT_HEAP") != nullptr) {
        return false;
    }
    kavelo::scene::ConfigureHeap();
    return true;
}

// Minor page faults and CPU seconds of the whole process so far.
struct Usage {
    double faults = 0.0;
    double cpuSeconds = 0.0;

    static Usage Now() {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
        };
        return {static_cast<double>(u.ru_minflt), seconds(u.ru_utime) + seconds(u.ru_stime)};
    }
    Usage& operator+=(const Usage& other) {
        faults += other.faults;
        cpuSeconds += other.cpuSeconds;
        return *this;
    }
    Usage operator-(const Usage& other) const {
        return {faults - other.faults, cpuSeconds - other.cpuSeconds};
    }
};

}  // namespace kavelo::bench
