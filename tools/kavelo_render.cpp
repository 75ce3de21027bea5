// kavelo-render: the scene file without a window. `kavelo-render --help` tells how.
#include <iostream>
#include <string>

#include "scene/dump.h"
#include "tools/command_line.h"
#include "tools/scene_input.h"
#ifdef KAVELO_RENDER_PICTURES
#include "tools/render_picture.h"
#endif

namespace {

int Dump(const std::string& path) {
    const SceneReadResult result = ReadSceneInput(path);
    std::cout << DumpScene(result.scene);
    std::cout.flush();
    if (result.diagnostic) {
        std::cerr << *result.diagnostic << "\n";
        return kExitReadFault;
    }
    return 0;
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
            std::cout << HelpText();
            return 0;
        case ToolMode::kVersion:
            std::cout << VersionText();
            return 0;
        case ToolMode::kDump:
            return Dump(command.picture.input);
        case ToolMode::kPicture:
#ifdef KAVELO_RENDER_PICTURES
            return RenderPicture(command.picture);
#else
            std::cerr << "kavelo-render: this build draws no pictures, only --dump\n";
            return kExitUsage;
#endif
    }
    return kExitUsage;
}
