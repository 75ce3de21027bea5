// kavelo-render: the scene file without a window.
//   kavelo-render --dump FILE            lists what the reader makes of FILE
//   kavelo-render FILE -o OUT.png [...]  draws FILE as the viewer does and writes a PNG
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "scene/dump.h"
#include "scene/reader.h"
#include "tools/exit_status.h"
#ifdef KAVELO_RENDER_PICTURES
#include "tools/render_picture.h"
#endif

namespace {

#ifdef KAVELO_RENDER_PICTURES
constexpr const char kUsage[] =
    "usage: kavelo-render --dump FILE\n"
    "       kavelo-render FILE -o OUT.png [--size WxH] [--shift X,Y] [--stretch X,Y,Z]\n"
    "                     [--angles X,Y,Z] [--perspective P] [--no-banner]\n";
#else
constexpr const char kUsage[] = "usage: kavelo-render --dump FILE\n";
#endif

int Usage(const std::string& problem) {
    std::cerr << "kavelo-render: " << problem << "\n" << kUsage;
    return 2;
}

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
    const SceneReadResult result = ReadSceneFile(path);
    const bool written = WriteOut(DumpScene(result.scene));
    if (result.diagnostic) {
        std::cerr << *result.diagnostic << "\n";
    }
    if (!written) {
        return kExitNotWritten;
    }
    return result.diagnostic ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--dump") {
        return Dump(argv[2]);
    }
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        return WriteOut(kUsage) ? 0 : kExitNotWritten;
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
