// How the process's heap behaves: set once, first thing in main, before anything allocates.
#pragma once

namespace kavelo::scene {

// Keeps the memory a frame frees for the next frame instead of giving it back to the kernel, and
// keeps every thread on one arena; under a limit on address space below 4 GiB, threads get stacks
// of 2 MiB. A compile that gathered much geometry still gives its memory back itself (malloc_trim
// in render/scene_compiler).
void ConfigureHeap() noexcept;

}  // namespace kavelo::scene
