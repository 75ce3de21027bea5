#include "tools/scene_input.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/command_line.h"

using kavelo::scene::ReadSceneFile;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneReadResult;

namespace kavelo::tools {

namespace {

// All of standard input, a file or a pipe alike: asked for by name, so read to its end.
SceneReadResult ReadStandardInput(std::vector<std::string>* warnings) {
    std::string bytes;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            SceneReadResult failed = ReadSceneText({}, "<stdin>");
            failed.diagnostic = std::string("<stdin>: cannot read: ") + std::strerror(errno);
            return failed;
        }
        if (n == 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return ReadSceneText(bytes, "<stdin>", warnings);
}

}  // namespace

SceneReadResult ReadSceneInput(const std::string& path, std::vector<std::string>* warnings) {
    return path == kStandardStream ? ReadStandardInput(warnings)
                                   : ReadSceneFile(path, std::nullopt, {}, warnings);
}

}  // namespace kavelo::tools
