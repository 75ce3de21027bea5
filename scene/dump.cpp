#include "scene/dump.h"

#include <charconv>

#include "scene/item_kinds.h"

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

// One list: its plural and count, then each item's name, point count and `heading` (which ends
// its line), then a line for each point.
template <class Node, class Heading>
void AppendList(std::string& out, SceneItemKind kind, const Node* head, Heading heading) {
    const ItemKindWords& words = WordsOf(kind);
    out += std::string(words.plural) + " " + std::to_string(CountItems(head)) + "\n";
    ForEachItem(head, [&](const Node& node) {
        out += std::string(words.name) + " " + std::to_string(node.count) + heading(node) + "\n";
        for (int i = 0; i < node.count; ++i) {
            AppendPoint(out, words.point, PointsOf(node)[i]);
        }
    });
}

}  // namespace

std::string DumpScene(const SceneHeads& scene) {
    std::string out;
    AppendList(out, SceneItemKind::kPolygon, scene.polygons, [](const PolygonNode& node) {
        return " normal " + FormatShortest(node.normal.x) + " " + FormatShortest(node.normal.y) +
               " " + FormatShortest(node.normal.z);
    });
    const auto none = [](const auto&) { return std::string(); };
    AppendList(out, SceneItemKind::kCurve, scene.curves, none);
    AppendList(out, SceneItemKind::kSurface, scene.surfaces, none);
    return out;
}

}  // namespace kavelo::scene
