#include "scene/node_arena.h"

#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <new>

namespace kavelo::scene {

namespace {

constexpr std::size_t kPage = 4096;
// A block's first record starts this far past a page boundary: records that start on one touch a
// page more each than the heap's, whose records start a header past it.
constexpr std::size_t kFirstOffset = 64;
constexpr std::size_t kAlign = alignof(std::max_align_t);
constexpr std::size_t kFirstBlock = std::size_t{1} << 20;
// The last block is mostly unused: under a limit on address space, what the driver needs later.
// 10,000 curves (80 MB) held 127 MiB in blocks of up to 64 MiB, 95 MiB in blocks of up to 16.
constexpr std::size_t kLargestBlock = std::size_t{16} << 20;
// Pages a run of large records has mapped in one call, at most.
constexpr std::size_t kMapBatch = 64;

std::size_t RoundUp(std::size_t n, std::size_t to) noexcept {
    return (n + to - 1) / to * to;
}

}  // namespace

SceneNodeArena::~SceneNodeArena() {
    for (const Block& block : m_blocks) {
        m_source.Free(block.memory);
    }
    if (m_self >= 0) {
        ::close(m_self);
    }
}

bool SceneNodeArena::AddBlock(std::size_t atLeast) noexcept {
    // Blocks double up to a bound, so that a large scene holds few of them.
    constexpr std::size_t kDoublings = std::bit_width(kLargestBlock / kFirstBlock) - 1;
    const std::size_t grown =
        std::min(kFirstBlock << std::min(m_blocks.size(), kDoublings), kLargestBlock);
    const std::size_t usable = std::max(grown, RoundUp(atLeast, kPage));
    void* memory = m_source.Allocate(usable + kPage + kFirstOffset);
    if (memory == nullptr) {
        return false;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(memory);
    char* begin = static_cast<char*>(memory) + (RoundUp(address, kPage) - address) + kFirstOffset;
    try {
        m_blocks.push_back({memory, begin, begin + usable});
    } catch (const std::bad_alloc&) {
        m_source.Free(memory);
        return false;
    }
    return true;
}

// A record of more than a page (a curve's, of which the reader fills the first points and the
// links the last bytes) touches only its ends, each on a page shared with a neighbour: placed
// whole pages apart, the pages between are never mapped. Each touched page cost a fault of its
// own, most of a reading's time; once a run of such records is under way, the pages of as many
// records again as it holds (up to half kMapBatch) are mapped in one call instead.
void SceneNodeArena::MapAhead(char* node, std::size_t bytes, std::size_t size,
                              const char* end) noexcept {
    m_runLength = node == m_runNext && size == m_runSize ? m_runLength + 1 : 1;
    m_runNext = node + size;
    m_runSize = size;
    const auto first = reinterpret_cast<std::uintptr_t>(node);
    if (m_runLength > 1 && first <= m_mappedUntil) {
        return;
    }
    if (m_self == -2) {
        m_self = static_cast<int>(::syscall(SYS_pidfd_open, ::getpid(), 0));
    }
    if (m_self < 0) {
        return;
    }
    iovec pages[kMapBatch];
    std::size_t n = 0;
    const auto add = [&pages, &n](std::uintptr_t at) {
        void* page = reinterpret_cast<void*>(at / kPage * kPage);
        if (n == 0 || pages[n - 1].iov_base != page) {
            pages[n++] = {page, kPage};
        }
    };
    const auto last = reinterpret_cast<std::uintptr_t>(end);
    std::uintptr_t record = first;
    for (std::size_t k = 0; k < m_runLength && n + 2 <= kMapBatch && record + bytes <= last;
         ++k, record += size) {
        add(record);
        add(record + bytes - 1);
        m_mappedUntil = record;
    }
    // Older kernels refuse this advice from process_madvise: the pages then fault in one by one.
    if (::syscall(SYS_process_madvise, m_self, pages, n, MADV_POPULATE_WRITE, 0) < 0 &&
        errno == EINVAL) {
        ::close(m_self);
        m_self = -1;
    }
}

void* SceneNodeArena::Allocate(std::size_t bytes) noexcept {
    const std::size_t size =
        bytes > kPage ? RoundUp(bytes, kPage) : RoundUp(std::max<std::size_t>(bytes, 1), kAlign);
    for (;;) {
        if (m_current < m_blocks.size()) {
            Block& block = m_blocks[m_current];
            if (m_next == nullptr) {
                m_next = block.begin;
            }
            if (static_cast<std::size_t>(block.end - m_next) >= size) {
                char* node = m_next;
                m_next += size;
                ++m_live;
                if (size > kPage) {
                    MapAhead(node, bytes, size, block.end);
                }
                return node;
            }
            ++m_current;
            m_next = nullptr;
            continue;
        }
        if (!AddBlock(size)) {
            return nullptr;
        }
    }
}

long SceneNodeArena::BlockOf(const void* node) noexcept {
    const auto inside = [node](const Block& block) {
        const auto at = reinterpret_cast<std::uintptr_t>(node);
        return at >= reinterpret_cast<std::uintptr_t>(block.begin) &&
               at < reinterpret_cast<std::uintptr_t>(block.end);
    };
    // Lists are given back in the order they were made: mostly the block of the last one.
    if (m_lastFreed < m_blocks.size() && inside(m_blocks[m_lastFreed])) {
        return static_cast<long>(m_lastFreed);
    }
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        if (inside(m_blocks[i])) {
            m_lastFreed = i;
            return static_cast<long>(i);
        }
    }
    return -1;
}

void SceneNodeArena::Free(void* node) noexcept {
    if (node == nullptr) {
        return;
    }
    if (BlockOf(node) < 0) {
        m_source.Free(node);
        return;
    }
    // With the last record back, the blocks are emptied, not returned.
    if (--m_live == 0) {
        m_current = 0;
        m_next = nullptr;
    }
}

void SceneNodeArena::FreeAll() noexcept {
    m_live = 0;
    m_current = 0;
    m_next = nullptr;
}

std::size_t SceneNodeArena::ReservedBytes() const noexcept {
    std::size_t bytes = 0;
    for (const Block& block : m_blocks) {
        bytes += static_cast<std::size_t>(block.end - block.begin);
    }
    return bytes;
}

}  // namespace kavelo::scene
