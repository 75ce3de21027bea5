// Feeds arbitrary bytes to the scene reader and checks what it promises of every reading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "scene/dump.h"
#include "scene/reader.h"

using kavelo::scene::DumpScene;
using kavelo::scene::ForEachItem;
using kavelo::scene::kSceneFileName;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneReadResult;

namespace {

template <class Node>
void CheckList(const Node* head, int limit) {
    if (head == nullptr) {
        std::abort();
    }
    ForEachItem(head, [limit](const Node& node) {
        if (node.count < 1 || node.count > limit) {
            std::abort();
        }
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const SceneReadResult result = ReadSceneText(bytes);
    CheckList(result.scene.polygons.get(), 4);
    CheckList(result.scene.curves.get(), 4);
    CheckList(result.scene.surfaces.get(), 16);
    // Reading every stored value makes the sanitizers look at each of them.
    const std::string dump = DumpScene(result.scene);
    if (dump.empty() || (result.diagnostic && result.diagnostic->empty())) {
        std::abort();
    }
    // Warnings never change what is read.
    kavelo::scene::WarningList warnings;
    const SceneReadResult checked = ReadSceneText(bytes, kSceneFileName, &warnings);
    if (DumpScene(checked.scene) != dump || checked.diagnostic != result.diagnostic) {
        std::abort();
    }
    return 0;
}
