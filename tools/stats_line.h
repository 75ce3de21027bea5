// The line kavelo-render --stats writes on standard error.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kavelo::tools {

// `read_ms=R compile_ms=C frame_ms=F frames=N vertices=V triangles=T`, times in milliseconds
// with two decimals, F the median of the frame times.
std::string StatsLine(double readMs, double compileMs, std::vector<double> frameMs,
                      std::size_t vertices, std::size_t triangles);

// `read_ms=R tessellate_ms=C vertices=V triangles=T segments=S`: what a mesh file holds.
std::string MeshStatsLine(double readMs, double tessellateMs, std::size_t vertices,
                          std::size_t triangles, std::size_t segments);

// ` budget=N coarsened=yes` (or `=no`; `budget=none` where no bound applies): the budget in force
// and whether it made the list coarser, at the end of either line.
std::string BudgetWords(std::size_t budget, bool coarsened);

}  // namespace kavelo::tools
