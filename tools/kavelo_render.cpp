// kavelo-render: the scene file without a window.
//   kavelo-render --dump FILE            lists what the reader makes of FILE
//   kavelo-render FILE -o OUT.png [...]  draws FILE as the viewer does and writes a PNG
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "scene/dump.h"
#include "scene/reader.h"
#ifdef KAVELO_RENDER_PICTURES
#include "tools/render_picture.h"
#endif

namespace {

#ifdef KAVELO_RENDER_PICTURES
constexpr const char kUsage[] =
    "usage: kavelo-render --dump FILE\n"
    "       kavelo-render FILE -o OUT.png [--size WxH] [--shift X,Y] [--stretch X,Y,Z]\n"
    "                     [--angles X,Y,Z] [--perspective P] [--no-banner]\n"
    "                     [--stats [--frames N]]\n";
#else
constexpr const char kUsage[] = "usage: kavelo-render --dump FILE\n";
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--dump") {
        return Dump(argv[2]);
    }
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kUsage;
        return 0;
    }
#ifdef KAVELO_RENDER_PICTURES
    // Anything else that names --dump is a malformed dump request, not a picture.
    bool dump = false;
    for (int i = 1; i < argc; ++i) {
        dump = dump || std::string_view(argv[i]) == "--dump";
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
