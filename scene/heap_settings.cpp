#include "scene/heap_settings.h"

#include <pthread.h>
#include <sys/resource.h>

#include <cstddef>
#include <cstdlib>  // says whether the C library is glibc
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace kavelo::scene {

#ifdef __GLIBC__
namespace {

// Every thread's stack takes RLIMIT_STACK of address space, 8 MiB by default: the viewer's seven
// threads (Qt's, Mesa's rasterisers and disk cache) would hold 56 MiB of a tight limit, where none
// uses more than a few hundred KiB. Under a loose limit, or none, they cost nothing and keep
// their size, which a hardware driver's shader compiler may need.
void ShrinkThreadStacks() noexcept {
    constexpr std::size_t kThreadStack = std::size_t{2} << 20;
    constexpr rlim_t kTightLimit = rlim_t{4} << 30;
    rlimit space{};
    pthread_attr_t attributes;
    if (getrlimit(RLIMIT_AS, &space) != 0 || space.rlim_cur == RLIM_INFINITY ||
        space.rlim_cur >= kTightLimit || pthread_attr_init(&attributes) != 0) {
        return;
    }
    std::size_t stack = 0;
    if (pthread_getattr_default_np(&attributes) == 0 &&
        pthread_attr_getstacksize(&attributes, &stack) == 0 && stack > kThreadStack &&
        pthread_attr_setstacksize(&attributes, kThreadStack) == 0) {
        pthread_setattr_default_np(&attributes);
    }
    pthread_attr_destroy(&attributes);
}

}  // namespace
#endif

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
    ShrinkThreadStacks();
#endif
}

}  // namespace kavelo::scene
