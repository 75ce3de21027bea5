// The in-memory scene: three singly linked lists of fixed-size records, one per kind of item.
// Each list ends in an empty sentinel node; the items are exactly the nodes that have a successor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

struct Point4 {
    double x;
    double y;
    double z;
    double w;
};

struct PolygonNode {
    Point4 vertices[4];
    Point4 normal;  // x, y, z as read; w is never set
    PolygonNode* next;
    std::int32_t count;  // vertices read, 1 to 4
};

struct CurveNode {
    Point4 points[255];  // the reader fills at most the first 4
    CurveNode* next;
    std::int32_t count;  // points read, 1 to 4
};

struct SurfaceNode {
    Point4 points[16];  // 4 x 4 grid, row by row: point 4i + j has s index i and t index j
    SurfaceNode* next;
    std::int32_t count;  // points read, 1 to 16
};

namespace kavelo::scene {

// An item's points, whatever its record calls them.
inline Point4* PointsOf(PolygonNode& node) noexcept {
    return node.vertices;
}
inline Point4* PointsOf(CurveNode& node) noexcept {
    return node.points;
}
inline Point4* PointsOf(SurfaceNode& node) noexcept {
    return node.points;
}
template <class Node>
const Point4* PointsOf(const Node& node) noexcept {
    return PointsOf(const_cast<Node&>(node));
}

// Where scene nodes come from; this one takes them from the C heap. Whoever reads or builds a
// list names its allocator, and the list gives its nodes back to the same one. Not for use by
// several threads at once.
class SceneNodeAllocator {
  public:
    virtual ~SceneNodeAllocator() = default;
    // Null when no memory is left.
    virtual void* Allocate(std::size_t bytes) noexcept;
    virtual void Free(void* node) noexcept;
};

// The C heap's allocator, which holds no state: one serves every list.
SceneNodeAllocator& HeapSceneNodes() noexcept;

// Creates a node whose fields are left as the allocator gives them, except `next` and `count`;
// null when no memory is left.
template <class Node>
Node* NewSceneNode(SceneNodeAllocator& nodes) noexcept {
    void* memory = nodes.Allocate(sizeof(Node));
    if (memory == nullptr) {
        return nullptr;
    }
    Node* node = ::new (memory) Node;
    node->next = nullptr;
    node->count = 0;
    return node;
}

// Deletes a whole list front to back, without recursion, so that long lists cannot exhaust the
// stack.
template <class Node>
void DeleteSceneList(Node* head, SceneNodeAllocator& nodes) noexcept {
    static_assert(std::is_trivially_destructible_v<Node>);
    while (head != nullptr) {
        Node* following = head->next;
        nodes.Free(head);
        head = following;
    }
}

// Owns one list from its head node to its sentinel, all of whose nodes came from `nodes`.
template <class Node>
class SceneList {
  public:
    SceneList() = default;
    SceneList(Node* head, SceneNodeAllocator& nodes) noexcept : m_pHead(head), m_pNodes(&nodes) {}
    SceneList(const SceneList&) = delete;
    SceneList& operator=(const SceneList&) = delete;
    SceneList(SceneList&& other) noexcept
        : m_pHead(std::exchange(other.m_pHead, nullptr)), m_pNodes(other.m_pNodes) {}
    SceneList& operator=(SceneList&& other) noexcept {
        if (this != &other) {
            reset();
            m_pHead = std::exchange(other.m_pHead, nullptr);
            m_pNodes = other.m_pNodes;
        }
        return *this;
    }
    ~SceneList() { DeleteSceneList(m_pHead, *m_pNodes); }

    Node* get() const noexcept { return m_pHead; }
    operator Node*() const noexcept { return m_pHead; }
    Node* operator->() const noexcept { return m_pHead; }

    // Gives every node back; the list is empty afterwards.
    void reset() noexcept { DeleteSceneList(std::exchange(m_pHead, nullptr), *m_pNodes); }
    // Gives up the list without freeing it: for an owner whose allocator takes every record
    // back at once.
    Node* release() noexcept { return std::exchange(m_pHead, nullptr); }
    // Where its nodes came from, and go back to.
    SceneNodeAllocator& allocator() const noexcept { return *m_pNodes; }

  private:
    Node* m_pHead = nullptr;
    SceneNodeAllocator* m_pNodes = &HeapSceneNodes();
};

// The walk over the items of a list: a node is handled only while its `next` is not null, so the
// sentinel is never handled.
template <class Node, class Visit>
void ForEachItem(const Node* head, Visit&& visit) {
    for (const Node* node = head; node != nullptr && node->next != nullptr; node = node->next) {
        visit(*node);
    }
}

template <class Node>
std::size_t CountItems(const Node* head) noexcept {
    std::size_t n = 0;
    ForEachItem(head, [&n](const Node&) { ++n; });
    return n;
}

struct SceneLists {
    SceneList<PolygonNode> polygons;
    SceneList<CurveNode> curves;
    SceneList<SurfaceNode> surfaces;
};

// The three lists' heads, owned elsewhere: what every stage after the reading takes. A null head
// is an empty list.
struct SceneHeads {
    const PolygonNode* polygons = nullptr;
    const CurveNode* curves = nullptr;
    const SurfaceNode* surfaces = nullptr;

    SceneHeads() = default;
    SceneHeads(const PolygonNode* p, const CurveNode* c, const SurfaceNode* s) noexcept
        : polygons(p), curves(c), surfaces(s) {}
    // Implicit: wherever the heads go, the lists they head may go.
    SceneHeads(const SceneLists& lists) noexcept
        : polygons(lists.polygons), curves(lists.curves), surfaces(lists.surfaces) {}
};

}  // namespace kavelo::scene
