// A plain-text listing of the scene lists, one record a line, for tools and tests.
#pragma once

#include <string>

#include "scene/scene.h"

namespace kavelo::scene {

// Formats a double in its shortest form that reads back to the same value.
std::string FormatShortest(double value);

// Lists the three scene lists in the order polygons, curves, surfaces.
std::string DumpScene(const PolygonNode* polygons, const CurveNode* curves,
                      const SurfaceNode* surfaces);

inline std::string DumpScene(const SceneLists& scene) {
    return DumpScene(scene.polygons.get(), scene.curves.get(), scene.surfaces.get());
}

}  // namespace kavelo::scene
