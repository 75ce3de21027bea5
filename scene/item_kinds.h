// The kinds of scene item, one row each: the letter that starts one in the text and the words
// the reader's messages, its warnings and the dump call it by. A new kind is a row here, its
// record in scene.h and its list in the reader.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kavelo::scene {

enum class SceneItemKind { kPolygon, kCurve, kSurface };

struct ItemKindWords {
    SceneItemKind kind;
    char letter;
    const char* name;
    const char* plural;  // a heading is any beginning of this word, in any case
    const char* point;   // one of its points, as the dump and the warnings name it
    const char* points;
    int limit;  // the points an item holds; what follows is text between items
};

// In the order of SceneItemKind, which is the dump's order.
inline constexpr ItemKindWords kItemKinds[] = {
    {SceneItemKind::kPolygon, 'P', "polygon", "polygons", "vertex", "vertices", 4},
    {SceneItemKind::kCurve, 'C', "curve", "curves", "point", "points", 4},
    {SceneItemKind::kSurface, 'S', "surface", "surfaces", "point", "points", 16},
};

static_assert([] {
    int i = 0;
    for (const ItemKindWords& row : kItemKinds) {
        if (static_cast<int>(row.kind) != i++) {
            return false;
        }
    }
    return true;
}());

constexpr const ItemKindWords& WordsOf(SceneItemKind kind) noexcept {
    return kItemKinds[static_cast<int>(kind)];
}

// For every byte, the index of the kind it is the letter of, or -1: one load an item.
inline constexpr std::array<std::int8_t, 256> kKindOfByte = [] {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (const ItemKindWords& row : kItemKinds) {
        table[static_cast<unsigned char>(row.letter)] = static_cast<std::int8_t>(row.kind);
    }
    return table;
}();

constexpr bool IsItemLetter(char c) noexcept {
    return kKindOfByte[static_cast<unsigned char>(c)] >= 0;
}

// "\"C\", \"P\" or \"S\"": every letter quoted, in the alphabet's order.
std::string ItemLettersText();

}  // namespace kavelo::scene
