// kavelo-render: the scene file without a window.
//   kavelo-render --dump FILE   lists what the reader makes of FILE
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "scene/dump.h"
#include "scene/reader.h"

namespace {

constexpr const char kUsage[] = "usage: kavelo-render --dump FILE\n";

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
    return Usage(argc < 2 ? "no FILE given" : "unknown arguments");
}
