// The logical palette of a palette display, built from the description of a pixel format.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

inline constexpr unsigned PFD_DOUBLEBUFFER = 0x01;
inline constexpr unsigned PFD_DRAW_TO_WINDOW = 0x04;
inline constexpr unsigned PFD_SUPPORT_OPENGL = 0x20;
inline constexpr unsigned PFD_NEED_PALETTE = 0x80;

namespace kavelo::render {

// What the palette needs to know of a pixel format.
struct PixelFormatDescription {
    unsigned dwFlags = 0;
    int cColorBits = 0;
    int cRedBits = 0;
    int cRedShift = 0;
    int cGreenBits = 0;
    int cGreenShift = 0;
    int cBlueBits = 0;
    int cBlueShift = 0;
    int cDepthBits = 0;
};

struct PaletteEntry {
    std::uint8_t peRed;
    std::uint8_t peGreen;
    std::uint8_t peBlue;
    std::uint8_t peFlags;
};

struct LogicalPalette {
    std::uint16_t palVersion = 0x300;
    std::uint16_t palNumEntries = 256;
    std::array<PaletteEntry, 256> entries{};
};

}  // namespace kavelo::render

// One 8-bit colour component of palette entry `index`: the `bits`-bit field at `shift` spread
// over 0..255. Bit counts other than 1, 2 and 3 give 0.
std::uint8_t PaletteComponent(int index, int bits, int shift);

// Builds a palette when the format asks for one and stores it in `palette`, replacing any
// earlier one; returns whether it did. A format that needs none leaves `palette` as it was.
// At most 256 entries are filled; a format of fewer than 8 colour bits fills 2^bits of them and
// leaves the rest black.
bool BuildPalette(const kavelo::render::PixelFormatDescription& pfd,
                  std::unique_ptr<kavelo::render::LogicalPalette>& palette);
