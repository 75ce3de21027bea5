// A plain-text listing of the scene lists, one record a line, for tools and tests.
#pragma once

#include <string>

#include "scene/scene.h"

namespace kavelo::scene {

// Formats a double in its shortest form that reads back to the same value.
std::string FormatShortest(double value);

// Lists the scene's lists in the order of its kinds (item_kinds.h): polygons, curves, surfaces.
std::string DumpScene(const SceneHeads& scene);

}  // namespace kavelo::scene
