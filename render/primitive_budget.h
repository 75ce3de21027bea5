// How many triangles and line segments display list 1 may hold: what the renderer draws in a
// frame the user can wait for, lowered to what the memory the process may still take holds.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>

namespace kavelo::render {

// A frame of 2 million takes about half a second on llvmpipe with two cores; a hardware renderer
// draws a hundred times as much in the same time.
inline constexpr std::size_t kSoftwareBudget = 2'000'000;
inline constexpr std::size_t kHardwareBudget = 16'000'000;
inline constexpr std::size_t kNoBudget = std::numeric_limits<std::size_t>::max();

// Bytes one triangle or segment takes on its way into the list, at the most: its tessellated
// vertices, the list's recording and the driver's copy (bench/list_memory_bench on llvmpipe).
inline constexpr std::size_t kBytesPerPrimitive = 300;
// Kept for what a frame and the window's painter take beside the list.
inline constexpr std::size_t kFrameBytes = std::size_t{48} << 20;

// Whether the GL_RENDERER string names one of Mesa's software rasterisers.
bool IsSoftwareRenderer(std::string_view renderer);

// Triangles and segments whose list fits in `bytesLeft`.
std::size_t PrimitivesFitting(std::size_t bytesLeft);

// The budget in force and the most the memory holds: `asked` (kNoBudget for none) or the
// renderer's bound, either lowered to what fits in `bytesLeft`.
struct PrimitiveBudget {
    std::size_t budget = kSoftwareBudget;
    std::size_t room = kNoBudget;
};
PrimitiveBudget BudgetFor(std::optional<std::size_t> asked, bool software, std::size_t bytesLeft);

// The same for the current context's renderer and the memory left now.
PrimitiveBudget CurrentBudget(std::optional<std::size_t> asked);
// Without a context, as for a software renderer: the bound of a mesh file.
PrimitiveBudget MeshBudget(std::optional<std::size_t> asked);

}  // namespace kavelo::render
