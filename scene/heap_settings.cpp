#include "scene/heap_settings.h"

#include <cstdlib>  // says whether the C library is glibc
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace kavelo::scene {

void ConfigureHeap() noexcept {
#ifdef __GLIBC__
    // Mesa frees at the end of a frame what it allocated in it; at glibc's default threshold that
    // top of the heap goes back to the kernel, and the next frame faults every page of it in
    // again: a third of a small frame's time went to the kernel.
    constexpr int kKeepFreeTop = 1 << 30;
    mallopt(M_TRIM_THRESHOLD, kKeepFreeTop);
    // Setting the trim threshold stops glibc raising, by itself, the size above which a block is
    // mapped on its own and unmapped when freed. The viewer's frame allocates and frees buffers of
    // a window's size (2 MB at 800x600): left at 128 KB, they would be mapped and faulted in every
    // frame. glibc would have raised it to their size; 32 MB is as far as it ever goes.
    constexpr int kMapAbove = 32 << 20;
    mallopt(M_MMAP_THRESHOLD, kMapAbove);
    // Mesa's rasteriser threads would each take an arena of their own, 64 MB of address space
    // apiece: under a memory limit that is what runs out first, and Mesa does not survive it.
    mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace kavelo::scene
