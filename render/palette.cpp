#include "render/palette.h"

#include <new>
#include <utility>

using kavelo::render::LogicalPalette;
using kavelo::render::PaletteEntry;
using kavelo::render::PixelFormatDescription;

namespace {

constexpr std::uint8_t kRamp1[2] = {0, 255};
constexpr std::uint8_t kRamp2[4] = {0, 85, 170, 255};
constexpr std::uint8_t kRamp3[8] = {0, 36, 73, 109, 146, 182, 219, 255};

struct SystemColour {
    int entry;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// The colours the system keeps for itself in a 3-3-2 palette.
constexpr SystemColour kSystemColours[12] = {
    {3, 128, 0, 0},       {24, 0, 128, 0},      {27, 128, 128, 0},    {64, 0, 0, 128},
    {67, 128, 0, 128},    {88, 0, 128, 128},    {173, 192, 192, 192}, {181, 192, 220, 192},
    {236, 166, 202, 240}, {247, 255, 251, 240}, {164, 160, 160, 164}, {91, 128, 128, 128},
};

bool IsRgb332(const PixelFormatDescription& pfd) {
    return pfd.cColorBits == 8 && pfd.cRedBits == 3 && pfd.cRedShift == 0 && pfd.cGreenBits == 3 &&
           pfd.cGreenShift == 3 && pfd.cBlueBits == 2 && pfd.cBlueShift == 6;
}

}  // namespace

std::uint8_t PaletteComponent(int index, int bits, int shift) {
    // Shifting by the width of the type or more is undefined; every field that far up is empty.
    const unsigned v = shift < 0 || shift >= 32
                           ? 0u
                           : static_cast<unsigned>(index) >> static_cast<unsigned>(shift);
    switch (bits) {
        case 1:
            return kRamp1[v & 1u];
        case 2:
            return kRamp2[v & 3u];
        case 3:
            return kRamp3[v & 7u];
        default:
            return 0;
    }
}

bool BuildPalette(const PixelFormatDescription& pfd, std::unique_ptr<LogicalPalette>& palette) {
    if ((pfd.dwFlags & PFD_NEED_PALETTE) == 0) {
        return false;
    }
    std::unique_ptr<LogicalPalette> built(new (std::nothrow) LogicalPalette);
    if (!built) {
        return false;
    }
    built->palVersion = 0x300;
    built->palNumEntries = 256;

    // More colour bits than the table holds would run past its end.
    const int filled = pfd.cColorBits < 0 ? 0 : pfd.cColorBits >= 8 ? 256 : 1 << pfd.cColorBits;
    for (int i = 0; i < filled; ++i) {
        PaletteEntry& e = built->entries[static_cast<std::size_t>(i)];
        e.peRed = PaletteComponent(i, pfd.cRedBits, pfd.cRedShift);
        e.peGreen = PaletteComponent(i, pfd.cGreenBits, pfd.cGreenShift);
        e.peBlue = PaletteComponent(i, pfd.cBlueBits, pfd.cBlueShift);
        e.peFlags = 0;
    }
    if (IsRgb332(pfd)) {
        for (const SystemColour& c : kSystemColours) {
            built->entries[static_cast<std::size_t>(c.entry)] = {c.red, c.green, c.blue, 0};
        }
    }
    palette = std::move(built);
    return true;
}
