#include "scene/dump.h"

#include <charconv>

namespace kavelo::scene {

std::string FormatShortest(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

namespace {

void AppendPoint(std::string& out, const char* label, const Point4& p) {
    out += label;
    for (double v : {p.x, p.y, p.z, p.w}) {
        out += ' ';
        out += FormatShortest(v);
    }
    out += '\n';
}

}  // namespace

std::string DumpScene(const PolygonNode* polygons, const CurveNode* curves,
                      const SurfaceNode* surfaces) {
    std::string out;
    out += "polygons " + std::to_string(CountItems(polygons)) + "\n";
    ForEachItem(polygons, [&out](const PolygonNode& node) {
        out += "polygon " + std::to_string(node.count) + " normal " +
               FormatShortest(node.normal.x) + " " + FormatShortest(node.normal.y) + " " +
               FormatShortest(node.normal.z) + "\n";
        for (int i = 0; i < node.count; ++i) {
            AppendPoint(out, "vertex", node.vertices[i]);
        }
    });
    out += "curves " + std::to_string(CountItems(curves)) + "\n";
    ForEachItem(curves, [&out](const CurveNode& node) {
        out += "curve " + std::to_string(node.count) + "\n";
        for (int i = 0; i < node.count; ++i) {
            AppendPoint(out, "point", node.points[i]);
        }
    });
    out += "surfaces " + std::to_string(CountItems(surfaces)) + "\n";
    ForEachItem(surfaces, [&out](const SurfaceNode& node) {
        out += "surface " + std::to_string(node.count) + "\n";
        for (int i = 0; i < node.count; ++i) {
            AppendPoint(out, "point", node.points[i]);
        }
    });
    return out;
}

}  // namespace kavelo::scene
