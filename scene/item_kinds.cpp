#include "scene/item_kinds.h"

#include <algorithm>
#include <iterator>

namespace kavelo::scene {

std::string ItemLettersText() {
    char letters[std::size(kItemKinds)];
    std::transform(std::begin(kItemKinds), std::end(kItemKinds), letters,
                   [](const ItemKindWords& row) { return row.letter; });
    std::sort(std::begin(letters), std::end(letters));
    std::string text;
    for (std::size_t i = 0; i < std::size(letters); ++i) {
        if (i > 0) {
            text += i + 1 == std::size(letters) ? " or " : ", ";
        }
        text += '"';
        text += letters[i];
        text += '"';
    }
    return text;
}

}  // namespace kavelo::scene
