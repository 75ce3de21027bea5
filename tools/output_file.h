// Where kavelo-render's picture goes: a file that is never left half written.
#pragma once

#include <string>
#include <string_view>

namespace kavelo::tools {

// Writes all of `bytes` to `fd`; returns the reason when a write fails.
std::string WriteAll(int fd, std::string_view bytes);

// Puts `bytes` at `path` whole or not at all; returns the reason when it cannot. A new file is
// written beside it and renamed into place. An existing regular file the user may write is
// rewritten in place, keeping its mode, owner and links, once the bytes have been written beside
// it in full, which proves they fit; in a folder the user may not write it is rewritten at once.
// A device or a pipe is written in place. A temporary file is removed by SIGINT and SIGTERM too.
std::string ReplaceFile(const std::string& path, std::string_view bytes);

// ReplaceFile, or all of `bytes` on standard output for "-".
std::string WriteOutput(const std::string& output, std::string_view bytes);

}  // namespace kavelo::tools
