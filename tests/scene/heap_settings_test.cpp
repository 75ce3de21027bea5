#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <vector>

#include "scene/heap_settings.h"

using kavelo::scene::ConfigureHeap;

namespace {

// What a frame frees at the top of the heap stays there for the next one: more than glibc, left
// to itself, ever keeps (twice its largest mmap threshold, 64 MB).
TEST(ConfigureHeap, MemoryFreedAtTheTopOfTheHeapIsKept) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own heap";
#else
    ConfigureHeap();
    constexpr std::size_t kChunk = 64 << 10;  // under the mmap threshold: from the heap's top
    std::vector<char*> chunks(1536);          // 96 MB
    for (char*& chunk : chunks) {
        chunk = static_cast<char*>(std::malloc(kChunk));
        ASSERT_NE(chunk, nullptr);
        *chunk = 1;
    }
    for (auto it = chunks.rbegin(); it != chunks.rend(); ++it) {
        std::free(*it);
    }
    EXPECT_GE(mallinfo2().keepcost, kChunk * chunks.size());
#endif
}

}  // namespace
