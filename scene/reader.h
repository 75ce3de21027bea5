// Reader of the scene file format: items "P", "C" and "S" with any text between them.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/scene.h"

namespace kavelo::scene {

// The name under which the viewer looks for its scene, in the current directory.
inline constexpr const char kSceneFileName[] = "input.txt";

// Longest stretch of text skipped between an item letter (or a polygon's normal) and its
// delimiter, the delimiter included.
inline constexpr int kMaxSkippedStretch = 254;

struct SceneReadResult {
    SceneLists scene;
    // Set when the reading did not end normally, as "input.txt:12:7: expected a number".
    // The items completed before the fault stay in the lists. When even the first node of a
    // list could not be had, that list is null.
    std::optional<std::string> diagnostic;
};

// Reads the bytes of a scene file as the file would read in text mode ("\r\n" is one "\n").
// `fileName` only names the file in the diagnostic. Given `warnings`, the reading also appends
// what it read most likely not as meant, as "input.txt:3:1: warning: TEXT", in the order of the
// text; what is read stays the same.
SceneReadResult ReadSceneText(std::string_view bytes, std::string_view fileName = kSceneFileName,
                              std::vector<std::string>* warnings = nullptr);

// How a file is read: in chunks of `chunkBytes`, with `afterChunk` (for tests) called after each
// chunk with the number of bytes read so far.
struct SceneFileReading {
    std::size_t chunkBytes = std::size_t{1} << 20;
    std::function<void(std::size_t)> afterChunk;
};

// Reads the regular file at `path`; `fileName` names it in the diagnostic (by default, the path).
// Anything else (a pipe, a device, a socket, a directory) is refused without being read.
SceneReadResult ReadSceneFile(const std::string& path,
                              std::optional<std::string_view> fileName = std::nullopt,
                              const SceneFileReading& how = {},
                              std::vector<std::string>* warnings = nullptr);

}  // namespace kavelo::scene
