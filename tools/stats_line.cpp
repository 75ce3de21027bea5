#include "tools/stats_line.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kavelo::tools {

namespace {

// Two decimals with a point, in every locale.
std::string Decimal(double value) {
    char text[64];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    return ec == std::errc() ? std::string(text, end) : "0";
}

}  // namespace

std::string StatsLine(double readMs, double compileMs, std::vector<double> frameMs,
                      std::size_t vertices, std::size_t triangles) {
    double median = 0.0;
    if (!frameMs.empty()) {
        const std::size_t half = frameMs.size() / 2;
        std::nth_element(frameMs.begin(), frameMs.begin() + half, frameMs.end());
        median = frameMs[half];
        if (frameMs.size() % 2 == 0) {
            median = (median + *std::max_element(frameMs.begin(), frameMs.begin() + half)) / 2.0;
        }
    }
    return "read_ms=" + Decimal(readMs) + " compile_ms=" + Decimal(compileMs) +
           " frame_ms=" + Decimal(median) + " frames=" + std::to_string(frameMs.size()) +
           " vertices=" + std::to_string(vertices) + " triangles=" + std::to_string(triangles);
}

std::string MeshStatsLine(double readMs, double tessellateMs, std::size_t vertices,
                          std::size_t triangles, std::size_t segments) {
    return "read_ms=" + Decimal(readMs) + " tessellate_ms=" + Decimal(tessellateMs) +
           " vertices=" + std::to_string(vertices) + " triangles=" + std::to_string(triangles) +
           " segments=" + std::to_string(segments);
}

std::string BudgetWords(std::size_t budget, bool coarsened) {
    const bool none = budget == std::numeric_limits<std::size_t>::max();
    return std::string(" budget=") + (none ? "none" : std::to_string(budget)) +
           " coarsened=" + (coarsened ? "yes" : "no");
}

}  // namespace kavelo::tools
