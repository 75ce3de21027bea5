// The logical palette of palette displays, from pixel-format descriptions made for the tests.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

#include "render/palette.h"

using kavelo::render::LogicalPalette;
using kavelo::render::PaletteEntry;
using kavelo::render::PixelFormatDescription;

namespace {

constexpr std::array<int, 2> kRamp1 = {0, 255};
constexpr std::array<int, 4> kRamp2 = {0, 85, 170, 255};
constexpr std::array<int, 8> kRamp3 = {0, 36, 73, 109, 146, 182, 219, 255};

// The ramps are k * 255 / (2^n - 1), rounded to the nearest integer.
int RampEntry(int bits, int k) {
    const int top = (1 << bits) - 1;
    return (k * 255 * 2 + top) / (2 * top);
}

PixelFormatDescription Format(int colourBits, int r, int rs, int g, int gs, int b, int bs,
                              unsigned flags = PFD_NEED_PALETTE | PFD_SUPPORT_OPENGL) {
    PixelFormatDescription pfd;
    pfd.dwFlags = flags;
    pfd.cColorBits = colourBits;
    pfd.cRedBits = r;
    pfd.cRedShift = rs;
    pfd.cGreenBits = g;
    pfd.cGreenShift = gs;
    pfd.cBlueBits = b;
    pfd.cBlueShift = bs;
    return pfd;
}

struct Colour {
    int r;
    int g;
    int b;
    bool operator==(const Colour&) const = default;
};

Colour At(const LogicalPalette& palette, int i) {
    const PaletteEntry& e = palette.entries[static_cast<std::size_t>(i)];
    return {e.peRed, e.peGreen, e.peBlue};
}

std::ostream& operator<<(std::ostream& out, const Colour& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

TEST(PaletteComponent, SpreadsTheFieldOverItsRampAndGivesZeroForOtherBitCounts) {
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(kRamp1[k], RampEntry(1, k));
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(kRamp2[k], RampEntry(2, k));
    }
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(kRamp3[k], RampEntry(3, k));
    }
    for (int i = 0; i < 256; ++i) {
        for (int shift = 0; shift < 8; ++shift) {
            const int v = i >> shift;
            EXPECT_EQ(PaletteComponent(i, 1, shift), kRamp1[v & 1]) << i << " >> " << shift;
            EXPECT_EQ(PaletteComponent(i, 2, shift), kRamp2[v & 3]) << i << " >> " << shift;
            EXPECT_EQ(PaletteComponent(i, 3, shift), kRamp3[v & 7]) << i << " >> " << shift;
            EXPECT_EQ(PaletteComponent(i, 0, shift), 0) << i;
            EXPECT_EQ(PaletteComponent(i, 4, shift), 0) << i;
            EXPECT_EQ(PaletteComponent(i, 8, shift), 0) << i;
        }
    }
}

TEST(BuildPalette, Rgb332GetsTheRampsAndTheTwelveSystemColours) {
    std::unique_ptr<LogicalPalette> palette;
    ASSERT_TRUE(BuildPalette(Format(8, 3, 0, 3, 3, 2, 6), palette));
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->palVersion, 0x300);
    EXPECT_EQ(palette->palNumEntries, 256);

    const std::array<std::pair<int, Colour>, 12> system = {{{3, {128, 0, 0}},
                                                            {24, {0, 128, 0}},
                                                            {27, {128, 128, 0}},
                                                            {64, {0, 0, 128}},
                                                            {67, {128, 0, 128}},
                                                            {88, {0, 128, 128}},
                                                            {173, {192, 192, 192}},
                                                            {181, {192, 220, 192}},
                                                            {236, {166, 202, 240}},
                                                            {247, {255, 251, 240}},
                                                            {164, {160, 160, 164}},
                                                            {91, {128, 128, 128}}}};
    for (int i = 0; i < 256; ++i) {
        Colour want{kRamp3[i & 7], kRamp3[(i >> 3) & 7], kRamp2[(i >> 6) & 3]};
        for (const auto& [entry, colour] : system) {
            if (entry == i) {
                want = colour;
            }
        }
        EXPECT_EQ(At(*palette, i), want) << "entry " << i;
        EXPECT_EQ(palette->entries[static_cast<std::size_t>(i)].peFlags, 0) << "entry " << i;
    }
    EXPECT_EQ(At(*palette, 0), (Colour{0, 0, 0}));
    EXPECT_EQ(At(*palette, 255), (Colour{255, 255, 255}));
    EXPECT_EQ(At(*palette, 3), (Colour{128, 0, 0}));
    EXPECT_EQ(At(*palette, 91), (Colour{128, 128, 128}));
    EXPECT_EQ(At(*palette, 100), (Colour{146, 146, 85}));  // 01 100 100
}

TEST(BuildPalette, OtherEightBitLayoutsGetTheRampsOnly) {
    std::unique_ptr<LogicalPalette> palette;
    // Blue in the low bits: 2-3-3 read from the top.
    ASSERT_TRUE(BuildPalette(Format(8, 3, 5, 3, 2, 2, 0), palette));
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(At(*palette, i),
                  (Colour{kRamp3[(i >> 5) & 7], kRamp3[(i >> 2) & 7], kRamp2[i & 3]}))
            << "entry " << i;
    }
    EXPECT_EQ(At(*palette, 3), (Colour{0, 0, 255}));
    // 3-3-2 bits at the right places but described as more colour bits: no system colours.
    ASSERT_TRUE(BuildPalette(Format(16, 3, 0, 3, 3, 2, 6), palette));
    EXPECT_EQ(At(*palette, 3), (Colour{109, 0, 0}));
    EXPECT_EQ(At(*palette, 91), (Colour{109, 109, 85}));
}

TEST(BuildPalette, FormatWithoutNeedPaletteBuildsNothing) {
    std::unique_ptr<LogicalPalette> palette;
    EXPECT_FALSE(BuildPalette(
        Format(8, 3, 0, 3, 3, 2, 6, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER),
        palette));
    EXPECT_EQ(palette, nullptr);

    ASSERT_TRUE(BuildPalette(Format(8, 3, 0, 3, 3, 2, 6), palette));
    const LogicalPalette* kept = palette.get();
    const LogicalPalette before = *palette;
    EXPECT_FALSE(BuildPalette(Format(24, 8, 0, 8, 8, 8, 16, 0x25), palette));
    EXPECT_EQ(palette.get(), kept);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(At(*palette, i), At(before, i));
    }
}

TEST(BuildPalette, WideFormatsFillAllEntriesOnlyAndNarrowOnesLeaveTheRestBlack) {
    std::unique_ptr<LogicalPalette> palette;
    // 16 colour bits would ask for 65,536 entries: 256 are filled and no more.
    ASSERT_TRUE(BuildPalette(Format(16, 3, 0, 3, 3, 2, 6), palette));
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(At(*palette, i),
                  (Colour{kRamp3[i & 7], kRamp3[(i >> 3) & 7], kRamp2[(i >> 6) & 3]}))
            << "entry " << i;
    }

    // An earlier palette is replaced whole: 4 bits fill 16 entries and the rest are black.
    const LogicalPalette* earlier = palette.get();
    ASSERT_TRUE(BuildPalette(Format(4, 1, 0, 2, 1, 1, 3), palette));
    EXPECT_NE(palette.get(), earlier);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(At(*palette, i), (Colour{kRamp1[i & 1], kRamp2[(i >> 1) & 3], kRamp1[i >> 3]}))
            << "entry " << i;
    }
    EXPECT_EQ(At(*palette, 15), (Colour{255, 255, 255}));
    for (int i = 16; i < 256; ++i) {
        EXPECT_EQ(At(*palette, i), (Colour{0, 0, 0})) << "entry " << i;
        EXPECT_EQ(palette->entries[static_cast<std::size_t>(i)].peFlags, 0) << "entry " << i;
    }
}

}  // namespace
