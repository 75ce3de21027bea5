// Scene records kept in large blocks across readings: once every record of a reading has been
// given back, the next reading takes the same blocks from their start and finds their pages
// already mapped, instead of faulting in fresh ones for every record. Records of more than a page
// (curves) start whole pages apart, and a run of them has the pages it will touch mapped ahead
// in batches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/scene.h"

namespace kavelo::scene {

class SceneNodeArena final : public SceneNodeAllocator {
  public:
    // Blocks come from, and records made elsewhere go back to, `source`.
    explicit SceneNodeArena(SceneNodeAllocator& source) noexcept : m_source(source) {}
    ~SceneNodeArena() override;
    SceneNodeArena(const SceneNodeArena&) = delete;
    SceneNodeArena& operator=(const SceneNodeArena&) = delete;

    void* Allocate(std::size_t bytes) noexcept override;
    void Free(void* node) noexcept override;

    // Takes back every record given out, without looking at one: a large scene's lists go
    // at once, their pages untouched. For lists released whose every record came from here.
    void FreeAll() noexcept;

    // Bytes of the blocks held, records or not.
    std::size_t ReservedBytes() const noexcept;

  private:
    struct Block {
        void* memory;  // as the source gave it
        char* begin;   // the first record's place
        char* end;
    };

    // The block holding `node`, or -1.
    long BlockOf(const void* node) noexcept;
    bool AddBlock(std::size_t atLeast) noexcept;
    void MapAhead(char* node, std::size_t bytes, std::size_t size, const char* end) noexcept;

    SceneNodeAllocator& m_source;
    std::vector<Block> m_blocks;
    std::size_t m_current = 0;  // the block records are taken from
    char* m_next = nullptr;     // the next record's place in it
    std::size_t m_live = 0;     // records given out and not yet back
    std::size_t m_lastFreed = 0;
    // The run of records of more than a page that ends at m_runNext, and how far it is mapped.
    char* m_runNext = nullptr;
    std::size_t m_runSize = 0;
    std::size_t m_runLength = 0;
    std::uintptr_t m_mappedUntil = 0;  // the last record whose pages are mapped
    int m_self = -2;  // a descriptor of this process for MapAhead; -1: there is none
};

}  // namespace kavelo::scene
