// The scene FILE of kavelo-render: a path, or "-" for standard input.
#pragma once

#include <string>

#include "scene/reader.h"
#include "scene/warning_list.h"

namespace kavelo::tools {

// Reads the scene at `path` as the viewer reads its file; "-" reads standard input
// and names it "<stdin>" in the diagnostic. Given `warnings`, the reader's warnings go there;
// `progress` is told how far the reading of a file has come.
kavelo::scene::SceneReadResult ReadSceneInput(const std::string& path,
                                              kavelo::scene::WarningList* warnings = nullptr,
                                              const kavelo::scene::ReadProgress& progress = {});

// Writes the warnings kept and how many more there were, then the fault, if any, on standard
// error: "FILE:LINE:COL: ..." as they are, any other with the program's name before it.
void ReportReading(const kavelo::scene::SceneReadResult& result,
                   const kavelo::scene::WarningList& warnings, const std::string& path);

// A list of warnings that writes every one on standard error as it is found.
kavelo::scene::WarningList WarningsToStandardError();

}  // namespace kavelo::tools
