// kavelo-render: the scene file without a window.
//   kavelo-render --dump FILE            lists what the reader makes of FILE
//   kavelo-render --check FILE           tells what the reader most likely did not read as meant
//   kavelo-render FILE -o OUT.png [...]  draws FILE as the viewer does and writes a PNG
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "scene/dump.h"
#include "scene/reader.h"
#ifdef KAVELO_RENDER_PICTURES
#include "tools/render_picture.h"
#endif

namespace {

#ifdef KAVELO_RENDER_PICTURES
constexpr const char kUsage[] =
    "usage: kavelo-render --dump FILE\n"
    "       kavelo-render --check FILE\n"
    "       kavelo-render FILE -o OUT.png [--size WxH] [--shift X,Y] [--stretch X,Y,Z]\n"
    "                     [--angles X,Y,Z] [--perspective P] [--no-banner]\n";
#else
constexpr const char kUsage[] =
    "usage: kavelo-render --dump FILE\n"
    "       kavelo-render --check FILE\n";
#endif

int Usage(const std::string& problem) {
    std::cerr << "kavelo-render: " << problem << "\n" << kUsage;
    return 2;
}

int Dump(const std::string& path) {
    const SceneReadResult result = ReadSceneFile(path);
    std::cout << DumpScene(result.scene);
    std::cout.flush();
    if (result.diagnostic) {
        std::cerr << *result.diagnostic << "\n";
        return 1;
    }
    return 0;
}

// Reads FILE as the viewer does and tells on stderr what it read most likely not as meant.
// 0: nothing to tell; 1: the reading stopped at a fault; 5: warnings only.
int Check(const std::string& path) {
    std::vector<std::string> warnings;
    const SceneReadResult result = ReadSceneFile(path, std::nullopt, &warnings);
    for (const std::string& warning : warnings) {
        std::cerr << warning << "\n";
    }
    if (result.diagnostic) {
        std::cerr << *result.diagnostic << "\n";
        return 1;
    }
    return warnings.empty() ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--dump") {
        return Dump(argv[2]);
    }
    if (argc == 3 && std::string_view(argv[1]) == "--check") {
        return Check(argv[2]);
    }
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
#ifdef KAVELO_RENDER_PICTURES
    // Anything else that names --dump or --check is a malformed request, not a picture.
    bool dump = false;
    for (int i = 1; i < argc; ++i) {
        dump =
            dump || std::string_view(argv[i]) == "--dump" || std::string_view(argv[i]) == "--check";
    }
    if (argc >= 2 && !dump) {
        PictureRequest request;
        const std::string problem = ParsePictureArgs(argc, argv, request);
        if (!problem.empty()) {
            return Usage(problem);
        }
        return RenderPicture(request);
    }
#endif
    return Usage(argc < 2 ? "no FILE given" : "unknown arguments");
}
