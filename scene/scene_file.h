// Scene text from the file system: a named regular file, or a stream read to its end.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/reader.h"

namespace kavelo::scene {

// How a file is read: in chunks of `chunkBytes`, with `afterChunk` (for tests) called after each
// chunk with the number of bytes read so far; `progress` is told how far the reader has come;
// the items' nodes come from `nodes`.
struct SceneFileReading {
    std::size_t chunkBytes = std::size_t{1} << 20;
    std::function<void(std::size_t)> afterChunk;
    ReadProgress progress;
    SceneNodeAllocator* nodes = &HeapSceneNodes();
};

// Reads the regular file at `path`; `fileName` names it in the diagnostic (by default, the path).
// Anything else (a pipe, a device, a socket, a directory) is refused without being read.
SceneReadResult ReadSceneFile(const std::string& path,
                              std::optional<std::string_view> fileName = std::nullopt,
                              const SceneFileReading& how = {}, WarningList* warnings = nullptr);

// Whether reading `path` may take long enough to show its progress: a regular file of several
// megabytes. What cannot be looked at is quick to report, so it is read at once.
bool ReadingMayTakeLong(const std::string& path);

// Reads the open descriptor `fd` (a pipe, a terminal, a file) to its end. When memory runs out
// first, the items of what was read are kept and the diagnostic says "out of memory after N
// items". `limitBytes` (for tests) stands for the memory there is.
SceneReadResult ReadSceneStream(int fd, std::string_view fileName, WarningList* warnings = nullptr,
                                std::size_t limitBytes = static_cast<std::size_t>(-1));

}  // namespace kavelo::scene
