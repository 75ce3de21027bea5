#include "scene/scene.h"

#include <cstdlib>

namespace kavelo::scene {

void* SceneNodeAllocator::Allocate(std::size_t bytes) noexcept {
    return std::malloc(bytes);
}

void SceneNodeAllocator::Free(void* node) noexcept {
    std::free(node);
}

SceneNodeAllocator& HeapSceneNodes() noexcept {
    // Never destroyed: a list in a static may give its nodes back after any other static is gone.
    static SceneNodeAllocator* const heap = new SceneNodeAllocator;
    return *heap;
}

}  // namespace kavelo::scene
