// Memory running out while tessellating ends the compile with what was drawn so far.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <limits>
#include <string>

#include "gl_test_support.h"
#include "render/scene_compiler.h"

namespace {

// Bytes of address space the process holds now.
rlim_t AddressSpace() {
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

// In a child, so that the limit and what it breaks stay there: its exit status tells the result.
int CompileUnderLimit() {
    auto gl = kavelo::test::MakeCurrentContext(64, 64);
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "C { -1 0 0 1  -1 2 0 1  1 2 0 1  1 0 0 1 }\n";
    }
    const kavelo::scene::SceneLists scene = kavelo::test::SceneFromText(text);
    glMatrixMode(GL_MODELVIEW);
    glScaled(1e9, 1e9, 1e9);  // every curve at its bound: 1,024 segments, 32 KiB
    const rlimit limit{AddressSpace() + (200 << 20), RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
    const kavelo::render::SceneListStats stats = kavelo::render::CompileSceneList(
        scene, kavelo::render::CurrentSampling(), nullptr, std::numeric_limits<std::size_t>::max());
    const bool told =
        kavelo::render::CompileDiagnostic(stats) ==
        "Out of memory while tessellating: " + kavelo::scene::GroupedNumber(stats.itemsDrawn) +
            " of 20,000 items drawn";
    return stats.outOfMemory && stats.itemsDrawn > 0 && stats.itemsDrawn < 20000 && told ? 0 : 1;
}

TEST(OutOfMemory, TheCompileKeepsWhatItDrewAndSaysHowMuch) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's own allocations fail first under a memory limit";
#endif
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(CompileUnderLimit());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
