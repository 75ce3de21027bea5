// kavelo-render: the scene file without a window. `kavelo-render --help` tells how.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "scene/dump.h"
#include "tools/command_line.h"
#include "tools/scene_input.h"
#ifdef KAVELO_RENDER_PICTURES
#include "tools/render_picture.h"

using kavelo::tools::RenderPicture;
#endif

using kavelo::scene::DumpScene;
using kavelo::scene::SceneReadResult;
using kavelo::tools::HelpText;
using kavelo::tools::kExitNotWritten;
using kavelo::tools::kExitReadFault;
using kavelo::tools::kExitUsage;
using kavelo::tools::kExitWarnings;
using kavelo::tools::kTryHelp;
using kavelo::tools::ParseCommandLine;
using kavelo::tools::ReadSceneInput;
using kavelo::tools::ToolCommand;
using kavelo::tools::ToolMode;
using kavelo::tools::VersionText;

namespace {

// Writes `text` to standard output; false, with the reason on standard error, when it fails.
bool WriteOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
        std::fflush(stdout) == 0) {
        return true;
    }
    std::cerr << "kavelo-render: cannot write to standard output: " << std::strerror(errno) << "\n";
    return false;
}

int Dump(const std::string& path) {
    const SceneReadResult result = ReadSceneInput(path);
    const bool written = WriteOut(DumpScene(result.scene));
    if (result.diagnostic) {
        std::cerr << *result.diagnostic << "\n";
    }
    if (!written) {
        return kExitNotWritten;
    }
    return result.diagnostic ? kExitReadFault : 0;
}

// Reads FILE as the viewer does and tells on stderr what it most likely did not read as meant.
int Check(const std::string& path) {
    std::vector<std::string> warnings;
    const SceneReadResult result = ReadSceneInput(path, &warnings);
    for (const std::string& warning : warnings) {
        std::cerr << warning << "\n";
    }
    if (result.diagnostic) {
        std::cerr << *result.diagnostic << "\n";
        return kExitReadFault;
    }
    return warnings.empty() ? 0 : kExitWarnings;
}

}  // namespace

int main(int argc, char** argv) {
    ToolCommand command;
    const std::string problem = ParseCommandLine(argc, argv, command);
    if (!problem.empty()) {
        std::cerr << "kavelo-render: " << problem << "\n" << kTryHelp;
        return kExitUsage;
    }
    switch (command.mode) {
        case ToolMode::kHelp:
            return WriteOut(HelpText()) ? 0 : kExitNotWritten;
        case ToolMode::kVersion:
            return WriteOut(VersionText()) ? 0 : kExitNotWritten;
        case ToolMode::kDump:
            return Dump(command.picture.input);
        case ToolMode::kCheck:
            return Check(command.picture.input);
        case ToolMode::kPicture:
#ifdef KAVELO_RENDER_PICTURES
            return RenderPicture(command.picture);
#else
            std::cerr << "kavelo-render: this build draws no pictures, only --dump and --check\n";
            return kExitUsage;
#endif
    }
    return kExitUsage;
}
