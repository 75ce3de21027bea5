// What a reading tells its user: the lines for standard error and the text of the status pane.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/reader.h"

namespace kavelo::scene {

// The warnings, then the fault, one line each. A fault that names no place in the text gets
// "`program`: " before it, as a program's own messages do.
std::string ReadingReport(const SceneReadResult& result, const std::vector<std::string>& warnings,
                          std::string_view program);

// The status pane after a reading: the fault, or else the first warning, followed by "(1 of N)"
// when there are more; empty when the reading was clean.
std::string StatusPaneText(const std::optional<std::string>& diagnostic,
                           const std::vector<std::string>& warnings);

}  // namespace kavelo::scene
