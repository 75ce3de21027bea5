// The scene FILE of kavelo-render: a path, or "-" for standard input.
#pragma once

#include <string>
#include <vector>

#include "scene/reader.h"

namespace kavelo::tools {

// Reads the scene at `path` as the viewer reads its file; "-" reads standard input
// and names it "<stdin>" in the diagnostic. Given `warnings`, the reader's warnings go there;
// `progress` is told how far the reading of a file has come.
kavelo::scene::SceneReadResult ReadSceneInput(const std::string& path,
                                              std::vector<std::string>* warnings = nullptr,
                                              const kavelo::scene::ReadProgress& progress = {});

// Writes the warnings and then the fault, if any, on standard error: "FILE:LINE:COL: ..." as they
// are, any other with the program's name before it.
void ReportReading(const kavelo::scene::SceneReadResult& result,
                   const std::vector<std::string>& warnings);

}  // namespace kavelo::tools
