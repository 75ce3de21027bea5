// Reader of the scene file format: items "P", "C" and "S" with any text between them.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/scene.h"
#include "scene/warning_list.h"

namespace kavelo::scene {

// The name under which the viewer looks for its scene, in the current directory.
inline constexpr const char kSceneFileName[] = "input.txt";

// Longest stretch of text skipped between an item letter (or a polygon's normal) and its
// delimiter, the delimiter included.
inline constexpr int kMaxSkippedStretch = 254;

// How a reading ended, when not normally.
enum class ReadFault {
    kNone,
    kInText,     // at a place in the text: the diagnostic is "FILE:LINE:COL: ..."
    kNotOpened,  // the file could not be opened at all; nothing was read
    kOther,      // "FILE: ...": out of memory, a read error, a file in another encoding
    kStopped,    // the progress listener asked the reading to stop
};

struct SceneReadResult {
    SceneLists scene;
    // Set when the reading did not end normally, as "input.txt:12:7: expected a number, found
    // "x"". The items completed before the fault stay in the lists. When even the first node of
    // a list could not be had, that list is null.
    std::optional<std::string> diagnostic;
    ReadFault fault = ReadFault::kNone;
};

// Reads the bytes of a scene file as the file would read in text mode ("\r\n" is one "\n").
// `fileName` only names the file in the diagnostic. Given `warnings`, the reading also adds what
// it read most likely not as meant, as "input.txt:3:1: warning: TEXT", in the order of the text,
// or "input.txt holds no items" when it read nothing, faultless and without a warning that
// tells why; what is read stays the same. Memory that runs out for a message ends the reading as
// memory that runs out for an item does. "FILE: out of memory after N items": the items read before
// are kept.
std::string OutOfMemoryDiagnostic(std::string_view fileName, std::size_t items);

// Told how far a reading has come: `done` of `total` bytes read, every few dozen kilobytes and
// once at the end, where `done` is `total` unless a fault stopped the reading. Returning false
// stops the reading there, as a fault would: the items read so far are kept, the diagnostic is
// "Stopped: 3,200 items read, 58% of input.txt" and the fault kStopped.
using ReadProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The lists' nodes come from `nodes`, to which the lists give them back.
SceneReadResult ReadSceneText(std::string_view bytes, std::string_view fileName = kSceneFileName,
                              WarningList* warnings = nullptr, const ReadProgress& progress = {},
                              SceneNodeAllocator& nodes = HeapSceneNodes());

}  // namespace kavelo::scene
