// The points at which the reader lets an observer look at what it reads. The reader is a template
// over its observer; with NoReaderObserver every call is empty and compiles to nothing, so that a
// reading nobody watches costs what it did before observers existed.
#pragma once

#include "scene/item_kinds.h"
#include "scene/scene.h"

namespace kavelo::scene {

// An observer has these members; positions point into the text being read, in its order apart
// from short steps back. None of them changes what is read.
struct NoReaderObserver {
    // Text between items, [from, to), read without a fault.
    void TextBetween(const char* /*from*/, const char* /*to*/) {}
    // An item letter found in the text between items that began at `textStart`.
    void ItemLetter(const char* /*letter*/, SceneItemKind, const char* /*textStart*/) {}
    // The text skipped after an item's letter, or after a polygon's normal, up to its delimiter.
    void HeadingStretch(const char* /*letter*/, SceneItemKind, const char* /*from*/,
                        const char* /*delimiter*/) {}
    // An item read with `count` points, ended by its "}" when `closed`; `normal` is a polygon's.
    void ItemRead(const char* /*letter*/, SceneItemKind, const Point4* /*points*/, int /*count*/,
                  bool /*closed*/, const Point4* /*normal*/) {}
    // An item full at its limit went on with the point at `at`. Returns where the text dropped
    // with that point ends; the reader goes on at `at` either way.
    const char* PastLimit(SceneItemKind, const char* at) { return at; }
};

}  // namespace kavelo::scene
