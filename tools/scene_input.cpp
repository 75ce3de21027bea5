#include "tools/scene_input.h"

#include "tools/command_line.h"

SceneReadResult ReadSceneInput(const std::string& path) {
    if (path == kStandardStream) {
        // A file or a pipe alike: the reader maps what it can and reads the rest.
        return ReadSceneFile("/dev/stdin", "<stdin>");
    }
    return ReadSceneFile(path);
}
