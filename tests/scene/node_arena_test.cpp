#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "scene/dump.h"
#include "scene/node_arena.h"
#include "scene/reader.h"
#include "support/node_counter.h"

using kavelo::scene::DumpScene;
using kavelo::scene::NewSceneNode;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneList;
using kavelo::scene::SceneNodeAllocatorScope;
using kavelo::scene::SceneNodeArena;
using kavelo::scene::SceneReadResult;
using kavelo::test::NodeCounter;

namespace {

std::uintptr_t Address(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

// Readings after the first take the same places again, read the same, and hold no more memory;
// a record made before the arena goes back to the heap, and the blocks go with the arena.
TEST(SceneNodeArena, ReadingsReuseItsBlocksAndItGivesThemBack) {
    std::string text;
    for (int i = 0; i < 300; ++i) {  // over a megabyte of curves: more than one block
        text += "P (0 0 1) { 0 0 0 1 1 0 0 1 1 1 0 1 }\nC { 0 0 0 1 1 2 0 1 }\nS { 0 0 0 1 }\n";
    }
    NodeCounter source;
    {
        SceneList<CurveNode> before(NewSceneNode<CurveNode>());
        SceneNodeArena arena(source);
        const SceneNodeAllocatorScope use(arena);
        SceneReadResult read = ReadSceneText(text);
        const std::string dump = DumpScene(read.scene);
        const std::uintptr_t first = Address(read.scene.polygons.get());
        const std::size_t reserved = arena.ReservedBytes();
        EXPECT_EQ(first % 4096, 64u);  // not on a page boundary
        for (int again = 0; again < 3; ++again) {
            read = {};
            read = ReadSceneText(text);
            EXPECT_EQ(DumpScene(read.scene), dump);
            EXPECT_EQ(Address(read.scene.polygons.get()), first);
            EXPECT_EQ(Address(read.scene.curves.get()) % alignof(CurveNode), 0u);
            EXPECT_EQ(arena.ReservedBytes(), reserved);
        }
        const long blocks = source.live;
        before.reset();
        EXPECT_EQ(source.live, blocks - 1);
        read = {};
    }
    EXPECT_EQ(source.live, 0);
}

}  // namespace
