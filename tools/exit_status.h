// Exit statuses of kavelo-render.
#pragma once

namespace kavelo::tools {

inline constexpr int kExitReadFault = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoContext = 3;
inline constexpr int kExitNotWritten = 4;
inline constexpr int kExitWarnings = 5;  // --check: warnings, and no fault

}  // namespace kavelo::tools
