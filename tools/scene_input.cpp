#include "tools/scene_input.h"

#include <unistd.h>

#include <iostream>

#include "scene/read_report.h"
#include "scene/scene_file.h"
#include "tools/command_line.h"

using kavelo::scene::ReadingReport;
using kavelo::scene::ReadProgress;
using kavelo::scene::ReadSceneFile;
using kavelo::scene::ReadSceneStream;
using kavelo::scene::SceneFileReading;
using kavelo::scene::SceneReadResult;
using kavelo::scene::WarningList;

namespace kavelo::tools {

SceneReadResult ReadSceneInput(const std::string& path, WarningList* warnings,
                               const ReadProgress& progress) {
    // Standard input is asked for by name, so it is read to its end, a pipe or a file alike.
    SceneFileReading how;
    how.progress = progress;
    return path == kStandardStream ? ReadSceneStream(STDIN_FILENO, "<stdin>", warnings)
                                   : ReadSceneFile(path, std::nullopt, how, warnings);
}

void ReportReading(const SceneReadResult& result, const WarningList& warnings,
                   const std::string& path) {
    std::cerr << ReadingReport(result, warnings, "kavelo-render", path);
}

WarningList WarningsToStandardError() {
    return WarningList(0, [](const std::string& warning) { std::cerr << warning << '\n'; });
}

}  // namespace kavelo::tools
