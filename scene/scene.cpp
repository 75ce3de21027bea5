#include "scene/scene.h"

#include <cstdlib>

namespace kavelo::scene {

namespace {

SceneNodeAllocator g_heap;
SceneNodeAllocator* g_current = &g_heap;

}  // namespace

void* SceneNodeAllocator::Allocate(std::size_t bytes) noexcept {
    return std::malloc(bytes);
}

void SceneNodeAllocator::Free(void* node) noexcept {
    std::free(node);
}

SceneNodeAllocator& CurrentSceneNodeAllocator() noexcept {
    return *g_current;
}

SceneNodeAllocator* SetSceneNodeAllocator(SceneNodeAllocator* allocator) noexcept {
    SceneNodeAllocator* previous = g_current;
    g_current = allocator != nullptr ? allocator : &g_heap;
    return previous;
}

}  // namespace kavelo::scene
