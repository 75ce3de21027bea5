// Builds one scene list front to back, the one way a list grows: the item goes into the last
// node, which then gets a fresh empty node behind it. The list is whole at every step, its last
// node the sentinel, so a builder given up half-way leaves nothing to mend.
#pragma once

#include <cstddef>
#include <utility>

#include "scene/scene.h"

namespace kavelo::scene {

template <class Node>
class SceneListBuilder {
  public:
    // Starts the list with its first node from `nodes`, which give every node of the list;
    // Started() is false when that node cannot be had.
    explicit SceneListBuilder(SceneNodeAllocator& nodes = HeapSceneNodes()) noexcept
        : m_nodes(nodes), m_list(NewSceneNode<Node>(nodes), nodes), m_pTail(m_list.get()) {}

    bool Started() const noexcept { return m_pTail != nullptr; }

    // The node that takes the next item. Only once Started().
    Node& Tail() noexcept { return *m_pTail; }

    // Makes the tail an item by putting a fresh sentinel behind it. False when no node can be
    // had: the tail then stays the sentinel and the item written into it is not in the list.
    bool Append() noexcept {
        Node* fresh = NewSceneNode<Node>(m_nodes);
        if (fresh == nullptr) {
            return false;
        }
        m_pTail->next = fresh;
        m_pTail = fresh;
        ++m_nItems;
        return true;
    }

    std::size_t Items() const noexcept { return m_nItems; }

    // Hands the list over; the builder is empty afterwards.
    SceneList<Node> Finish() noexcept {
        m_pTail = nullptr;
        m_nItems = 0;
        return std::move(m_list);
    }

  private:
    SceneNodeAllocator& m_nodes;
    SceneList<Node> m_list;
    Node* m_pTail;
    std::size_t m_nItems = 0;
};

}  // namespace kavelo::scene
