// The one-line credit text drawn over the top edge of every picture, and where it goes.
#pragma once

namespace kavelo::render {

inline constexpr char kBannerText[] = "Kavelo 1.0 - polygons, NURBS curves and surfaces";
inline constexpr int kBannerColourR = 255;
inline constexpr int kBannerColourG = 240;
inline constexpr int kBannerColourB = 255;
inline constexpr int kBannerBandHeight = 50;  // client pixels from the top

}  // namespace kavelo::render
