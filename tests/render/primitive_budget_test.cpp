// The budget from the renderer's kind and the memory left, without a context.
#include <gtest/gtest.h>

#include <optional>

#include "render/primitive_budget.h"

using kavelo::render::BudgetFor;
using kavelo::render::kBytesPerPrimitive;
using kavelo::render::kFrameBytes;
using kavelo::render::kNoBudget;

namespace {

TEST(PrimitiveBudget, RendererBoundLoweredToWhatTheMemoryHolds) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    const std::size_t fits1000 = kFrameBytes + 1000 * kBytesPerPrimitive;
    struct Case {
        std::optional<std::size_t> asked;
        bool software;
        std::size_t bytesLeft;
        std::size_t budget;
        std::size_t room;
    } const cases[] = {
        {std::nullopt, true, kNoBudget, 2'000'000, kNoBudget},
        {std::nullopt, false, kNoBudget, 16'000'000, kNoBudget},
        {std::nullopt, false, 64 * 1024 * kMiB, 16'000'000,
         (64 * 1024 * kMiB - kFrameBytes) / kBytesPerPrimitive},
        {std::nullopt, true, fits1000, 1000, 1000},
        {std::nullopt, true, fits1000 + kBytesPerPrimitive - 1, 1000, 1000},
        {std::nullopt, true, kFrameBytes / 2, 0, 0},
        {500, false, fits1000, 500, 1000},
        {kNoBudget, true, fits1000, 1000, 1000},
        {kNoBudget, true, kNoBudget, kNoBudget, kNoBudget},
    };
    for (const Case& c : cases) {
        const auto b = BudgetFor(c.asked, c.software, c.bytesLeft);
        EXPECT_EQ(b.budget, c.budget) << c.bytesLeft;
        EXPECT_EQ(b.room, c.room) << c.bytesLeft;
    }
}

TEST(PrimitiveBudget, MesasSoftwareRasterisersAreToldByName) {
    for (const char* name : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Mesa X11 swrast"}) {
        EXPECT_TRUE(kavelo::render::IsSoftwareRenderer(name)) << name;
    }
    for (const char* name : {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
                             "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", ""}) {
        EXPECT_FALSE(kavelo::render::IsSoftwareRenderer(name)) << name;
    }
}

}  // namespace
