// What a reading tells its user: the lines for standard error and the text of the status pane.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "scene/reader.h"
#include "scene/warning_list.h"

namespace kavelo::scene {

// The warnings kept, then how many more there were, then the fault, one line each. The count
// reads "... and 7,710 more warnings: kavelo-render --check FILE lists them all", `file` being
// FILE; warnings that were handed on as found are not counted again. A fault that names no place
// in the text gets "`program`: " before it, as a program's own messages do.
std::string ReadingReport(const SceneReadResult& result, const WarningList& warnings,
                          std::string_view program, std::string_view file);

// The status pane after a reading: the fault, or else the first warning, followed by "(1 of N)"
// when there are more; empty when the reading was clean.
std::string StatusPaneText(const std::optional<std::string>& diagnostic,
                           const WarningList& warnings);

}  // namespace kavelo::scene
