// Exit statuses of kavelo-render besides 0, the reader's 1 and the command line's 2.
#pragma once

inline constexpr int kExitNoContext = 3;
inline constexpr int kExitNotWritten = 4;
