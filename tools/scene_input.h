// The scene FILE of kavelo-render: a path, or "-" for standard input.
#pragma once

#include <string>

#include "scene/reader.h"

// Reads the scene at `path` as the viewer reads its file; "-" reads standard input
// and names it "<stdin>" in the diagnostic.
SceneReadResult ReadSceneInput(const std::string& path);
