// Bytes one triangle or line segment takes on its way into display list 1, which sets the
// budget's factor (render/primitive_budget): the tessellated geometry, the peak while the driver
// records it, and the driver's own copy once the geometry is freed. Measured as address space,
// what a limit (ulimit -v) counts, for lists of two sizes, so that what the context holds at
// start cancels out. Medians of several runs of each.
#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "headless.h"
#include "mesh/scene_geometry.h"
#include "render/scene_compiler.h"

using kavelo::mesh::SceneGeometry;

namespace {

constexpr int kRuns = 5;

// The value of a line of /proc/self/status, in bytes.
double StatusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == key) {
            double kb = 0;
            status >> kb;
            return kb * 1024.0;
        }
    }
    return 0.0;
}

// `n` primitives of one kind, as the tessellation gives them: segments of curves, triangles of
// surfaces with their normals, or triangles of polygons in double precision.
SceneGeometry Geometry(int kind, std::size_t n) {
    SceneGeometry g;
    for (std::size_t i = 0; i < n; ++i) {
        const float x = static_cast<float>(i % 1000) / 1000.0f;
        const float y = static_cast<float>(i / 1000 % 1000) / 1000.0f;
        if (kind == 0) {
            g.curves.vertices.insert(g.curves.vertices.end(), {x, y, 0, 1, x + 0.001f, y, 0, 1});
        } else if (kind == 1) {
            g.patches.vertices.insert(g.patches.vertices.end(),
                                      {x, y, 0, 1, x + 0.001f, y, 0, 1, x, y + 0.001f, 0, 1});
            g.patches.normals.insert(g.patches.normals.end(), {0, 0, 1, 0, 0, 1, 0, 0, 1});
            ++g.patches.triangles;
        } else {
            g.polygons.vertices.insert(g.polygons.vertices.end(),
                                       {x, y, 0, x + 0.001, y, 0, x, y + 0.001, 0});
            g.polygons.normals.insert(g.polygons.normals.end(), {0, 0, 1, 0, 0, 1, 0, 0, 1});
        }
    }
    g.anyCurve = kind == 0;
    return g;
}

struct Cost {
    double geometry;  // bytes of the tessellation, before the list
    double peak;      // bytes above the start while recording, the geometry still held
    double list;      // bytes the driver keeps once the geometry is freed
};

Cost Measure(int kind, std::size_t n) {
    glNewList(SCENE_LIST, GL_COMPILE);
    glEndList();
    const double start = StatusBytes("VmSize:");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak of resident memory starts here
    const double startResident = StatusBytes("VmRSS:");
    Cost c{};
    {
        const SceneGeometry g = Geometry(kind, n);
        c.geometry = StatusBytes("VmSize:") - start;
        kavelo::render::RecordSceneList(g);
        glFinish();
        c.peak = std::max(StatusBytes("VmSize:") - start, StatusBytes("VmHWM:") - startResident);
    }
    c.list = StatusBytes("VmSize:") - start;
    return c;
}

double Median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    auto h = kavelo::bench::MakeHeadless(64, 64, "list_memory_bench");
    constexpr std::size_t kSmall = 250'000;
    constexpr std::size_t kLarge = 1'250'000;
    const char* names[] = {"curve segment", "patch triangle", "polygon triangle"};
    std::printf("bytes a primitive, from %zu to %zu primitives, medians of %d runs\n", kSmall,
                kLarge, kRuns);
    for (int kind = 0; kind < 3; ++kind) {
        std::vector<double> geometry, peak, list;
        for (int run = 0; run < kRuns; ++run) {
            const Cost a = Measure(kind, kSmall);
            const Cost b = Measure(kind, kLarge);
            const double n = static_cast<double>(kLarge - kSmall);
            geometry.push_back((b.geometry - a.geometry) / n);
            peak.push_back((b.peak - a.peak) / n);
            list.push_back((b.list - a.list) / n);
        }
        std::printf("%-17s geometry %6.1f  peak while recording %6.1f  driver's list %6.1f\n",
                    names[kind], Median(geometry), Median(peak), Median(list));
    }
    return 0;
}
