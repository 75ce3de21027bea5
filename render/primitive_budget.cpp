#include "render/primitive_budget.h"

#include <GL/gl.h>

#include <algorithm>

#include "scene/driver_reserve.h"

namespace kavelo::render {

using kavelo::scene::MemoryLeft;
using kavelo::scene::ReadMemoryFigures;

bool IsSoftwareRenderer(std::string_view renderer) {
    for (const std::string_view name : {"llvmpipe", "softpipe", "swrast"}) {
        if (renderer.find(name) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

std::size_t PrimitivesFitting(std::size_t bytesLeft) {
    if (bytesLeft == kNoBudget) {
        return kNoBudget;
    }
    return bytesLeft > kFrameBytes ? (bytesLeft - kFrameBytes) / kBytesPerPrimitive : 0;
}

PrimitiveBudget BudgetFor(std::optional<std::size_t> asked, bool software, std::size_t bytesLeft) {
    PrimitiveBudget b;
    b.room = PrimitivesFitting(bytesLeft);
    b.budget = std::min(asked.value_or(software ? kSoftwareBudget : kHardwareBudget), b.room);
    return b;
}

PrimitiveBudget CurrentBudget(std::optional<std::size_t> asked) {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    // No name to go by: the smaller bound is the safe one.
    const bool software = renderer == nullptr || IsSoftwareRenderer(renderer);
    return BudgetFor(asked, software, MemoryLeft(ReadMemoryFigures()));
}

PrimitiveBudget MeshBudget(std::optional<std::size_t> asked) {
    return BudgetFor(asked, true, MemoryLeft(ReadMemoryFigures()));
}

}  // namespace kavelo::render
