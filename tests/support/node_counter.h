// A scene-node allocator for tests: counts the nodes alive and their peak, and refuses nodes past
// a budget.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>

#include "scene/scene.h"

namespace kavelo::test {

class NodeCounter final : public kavelo::scene::SceneNodeAllocator {
  public:
    // `alive`: the nodes that already exist, which are counted when they are freed.
    explicit NodeCounter(long alive = 0) : live(alive), peak(alive) {}
    NodeCounter(const NodeCounter&) = delete;
    NodeCounter& operator=(const NodeCounter&) = delete;

    void* Allocate(std::size_t bytes) noexcept override {
        if (made == budget) {
            return nullptr;
        }
        ++made;
        peak = std::max(peak, ++live);
        return kavelo::scene::SceneNodeAllocator::Allocate(bytes);
    }
    void Free(void* node) noexcept override {
        --live;
        kavelo::scene::SceneNodeAllocator::Free(node);
    }

    std::size_t budget = std::numeric_limits<std::size_t>::max();
    std::size_t made = 0;
    long live;
    long peak;
};

}  // namespace kavelo::test
