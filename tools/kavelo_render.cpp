// kavelo-render: the scene file without a window. `kavelo-render --help` tells how.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "scene/dump.h"
#include "scene/heap_settings.h"
#include "scene/standard_streams.h"
#include "tools/command_line.h"
#include "tools/scene_input.h"
#ifdef KAVELO_RENDER_PICTURES
#include "tools/export_mesh.h"
#include "tools/render_picture.h"

using kavelo::tools::ExportMesh;
using kavelo::tools::RenderPicture;
#endif

using kavelo::scene::ConfigureHeap;
using kavelo::scene::DumpScene;
using kavelo::scene::HoldStandardStreams;
using kavelo::scene::SceneReadResult;
using kavelo::scene::WarningList;
using kavelo::tools::HelpText;
using kavelo::tools::kExitNotWritten;
using kavelo::tools::kExitReadFault;
using kavelo::tools::kExitUsage;
using kavelo::tools::kExitWarnings;
using kavelo::tools::kStandardStream;
using kavelo::tools::kTryHelp;
using kavelo::tools::ParseCommandLine;
using kavelo::tools::ReadSceneInput;
using kavelo::tools::ReportReading;
using kavelo::tools::ToolCommand;
using kavelo::tools::ToolMode;
using kavelo::tools::VersionText;
using kavelo::tools::WarningsToStandardError;

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
    WarningList warnings = WarningsToStandardError();
    const SceneReadResult result = ReadSceneInput(path, &warnings);
    const bool written = WriteOut(DumpScene(result.scene));
    ReportReading(result, warnings, path);
    if (!written) {
        return kExitNotWritten;
    }
    return result.diagnostic ? kExitReadFault : 0;
}

// Reads FILE as the viewer does and tells on stderr what it most likely did not read as meant.
int Check(const std::string& path) {
    WarningList warnings = WarningsToStandardError();
    const SceneReadResult result = ReadSceneInput(path, &warnings);
    ReportReading(result, warnings, path);
    if (result.diagnostic) {
        return kExitReadFault;
    }
    return warnings.Empty() ? 0 : kExitWarnings;
}

bool WritesStandardOutput(const ToolCommand& command) {
    return command.mode != ToolMode::kCheck &&
           (command.mode != ToolMode::kPicture || command.picture.output == kStandardStream);
}

int Run(int argc, char** argv, bool outputClosed) {
    // Past a file size limit a write fails with its reason, and the partial file is removed.
    std::signal(SIGXFSZ, SIG_IGN);
    ToolCommand command;
    const std::string problem = ParseCommandLine(argc, argv, command);
    if (!problem.empty()) {
        std::cerr << "kavelo-render: " << problem << "\n" << kTryHelp;
        return kExitUsage;
    }
    if (outputClosed && WritesStandardOutput(command)) {
        std::cerr << "kavelo-render: standard output is closed\n";
        return kExitNotWritten;
    }
    // A picture's bytes would garble the terminal, as gzip knows.
    if (command.mode == ToolMode::kPicture && command.picture.output == kStandardStream &&
        !command.picture.force && ::isatty(STDOUT_FILENO) != 0) {
        std::cerr << "kavelo-render: will not write a picture to a terminal; redirect it, or use "
                     "--force\n";
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
            return command.picture.mesh ? ExportMesh(command.picture)
                                        : RenderPicture(command.picture);
#else
            std::cerr << "kavelo-render: this build draws no pictures, only --dump and --check\n";
            return kExitUsage;
#endif
    }
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    ConfigureHeap();
    const bool outputClosed = (HoldStandardStreams() & (1U << STDOUT_FILENO)) != 0;
    try {
        return Run(argc, argv, outputClosed);
    } catch (const std::bad_alloc&) {
        // Whatever ran out, the program ends with its word instead of an abort.
        std::fputs("kavelo-render: out of memory\n", stderr);
        return kExitNotWritten;
    }
}
