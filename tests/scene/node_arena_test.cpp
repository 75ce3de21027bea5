#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scene/dump.h"
#include "scene/node_arena.h"
#include "scene/reader.h"
#include "support/node_counter.h"

using kavelo::scene::DumpScene;
using kavelo::scene::NewSceneNode;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneList;
using kavelo::scene::SceneNodeAllocator;
using kavelo::scene::SceneNodeArena;
using kavelo::scene::SceneReadResult;
using kavelo::test::NodeCounter;

namespace {

std::uintptr_t Address(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

// Readings after the first take the same places again, read the same, and hold no more memory;
// a list made from another allocator gives its record back to that one, and the blocks go with
// the arena.
TEST(SceneNodeArena, ReadingsReuseItsBlocksAndItGivesThemBack) {
    std::string text;
    for (int i = 0; i < 300; ++i) {  // over a megabyte of curves: more than one block
        text += "P (0 0 1) { 0 0 0 1 1 0 0 1 1 1 0 1 }\nC { 0 0 0 1 1 2 0 1 }\nS { 0 0 0 1 }\n";
    }
    NodeCounter source;
    {
        SceneList<CurveNode> before(NewSceneNode<CurveNode>(source), source);
        SceneNodeArena arena(source);
        SceneReadResult read = ReadSceneText(text, "input.txt", nullptr, {}, arena);
        const std::string dump = DumpScene(read.scene);
        const std::uintptr_t first = Address(read.scene.polygons.get());
        const std::size_t reserved = arena.ReservedBytes();
        EXPECT_EQ(first % 4096, 64u);  // not on a page boundary
        for (int again = 0; again < 3; ++again) {
            read = {};
            read = ReadSceneText(text, "input.txt", nullptr, {}, arena);
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

// Blocks of pages no one has touched yet.
class FreshPages final : public SceneNodeAllocator {
  public:
    void* Allocate(std::size_t bytes) noexcept override {
        m_bytes = bytes;
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return p == MAP_FAILED ? nullptr : p;
    }
    void Free(void* block) noexcept override { munmap(block, m_bytes); }

  private:
    std::size_t m_bytes = 0;  // one block is all the test takes
};

bool Resident(std::uintptr_t at) {
    unsigned char page = 0;
    return mincore(reinterpret_cast<void*>(at / 4096 * 4096), 4096, &page) == 0 && (page & 1) != 0;
}

// Curves touch only their ends: they start whole pages apart, the pages between stay unmapped,
// and a run of them finds the pages of its next records mapped before it reaches them.
TEST(SceneNodeArena, ARunOfCurvesFindsTheirPagesMappedAhead) {
    FreshPages source;
    iovec probe{source.Allocate(4096), 4096};
    const int self = static_cast<int>(syscall(SYS_pidfd_open, getpid(), 0));
    const bool mapsAhead =
        self >= 0 && syscall(SYS_process_madvise, self, &probe, 1, MADV_POPULATE_WRITE, 0) == 4096;
    close(self);
    source.Free(probe.iov_base);
    if (!mapsAhead) {
        GTEST_SKIP() << "this kernel maps no pages ahead";
    }
    SceneNodeArena arena(source);
    std::vector<CurveNode*> run;
    for (int i = 0; i < 8; ++i) {  // the eighth maps the pages of eight more
        run.push_back(NewSceneNode<CurveNode>(arena));
    }
    const std::uintptr_t eighth = Address(run.back());
    EXPECT_EQ(eighth - Address(run.front()), 7u * 8192);
    EXPECT_TRUE(Resident(eighth + 6 * 8192));
    EXPECT_FALSE(Resident(eighth + 6 * 8192 + 4096));
    for (CurveNode* curve : run) {
        arena.Free(curve);
    }
}

}  // namespace
