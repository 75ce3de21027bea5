// Scene reader throughput on a generated scene of about 50 MB, beside a reader written the classic
// way with std::ifstream (>> for doubles, get, putback, ignore), and the heap taken per item. Then
// a scene of curves alone read into the arena with its blocks mapped in several ways, against
// std::from_chars over the same numbers, with the faults and resident memory each way costs.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/mman.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "frame_cost.h"
#include "scene/list_builder.h"
#include "scene/node_arena.h"
#include "scene/reader.h"
#include "scene/scene_file.h"

using kavelo::scene::CountItems;
using kavelo::scene::ReadSceneFile;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneFileReading;
using kavelo::scene::SceneListBuilder;
using kavelo::scene::SceneLists;
using kavelo::scene::SceneNodeAllocator;
using kavelo::scene::SceneNodeArena;
using kavelo::scene::SceneReadResult;

namespace {

constexpr std::size_t kTargetBytes = 50u << 20;

const std::string& ScenePath() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "kavelo-reader-bench.txt";
        std::mt19937 random(7);
        std::uniform_real_distribution<double> coordinate(-3.0, 3.0);
        std::string text;
        text.reserve(kTargetBytes + 4096);
        char number[32];
        auto point = [&](std::string& out) {
            for (int k = 0; k < 3; ++k) {
                std::snprintf(number, sizeof number, "%.6g ", coordinate(random));
                out += number;
            }
            out += "1\n";
        };
        for (unsigned i = 0; text.size() < kTargetBytes; ++i) {
            switch (i % 3) {
                case 0:
                    text += "Polygon (0 0 1) {\n";
                    for (int k = 0; k < 4; ++k)
                        point(text);
                    break;
                case 1:
                    text += "Curve {\n";
                    for (int k = 0; k < 4; ++k)
                        point(text);
                    break;
                default:
                    text += "Surface {\n";
                    for (int k = 0; k < 16; ++k)
                        point(text);
                    break;
            }
            text += "}\n\n";
        }
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }();
    return path;
}

std::size_t SceneBytes() {
    return std::filesystem::file_size(ScenePath());
}

// The classic reader: the same lists, read through the stream library.
struct ClassicResult {
    SceneLists scene;
};

int ReadPointsClassic(std::istream& in, Point4* points, int limit) {
    int stored = 0;
    for (;;) {
        Point4& p = points[stored];
        if (!(in >> p.x >> p.y >> p.z >> p.w)) {
            return 0;
        }
        ++stored;
        char c = 0;
        if (!(in >> c)) {
            return stored == limit ? stored : 0;
        }
        if (c == '}') {
            return stored;
        }
        in.putback(c);
        if (stored == limit) {
            return stored;
        }
    }
}

ClassicResult ReadClassic(const std::string& path) {
    SceneListBuilder<PolygonNode> polygons;
    SceneListBuilder<CurveNode> curves;
    SceneListBuilder<SurfaceNode> surfaces;
    std::ifstream in(path);
    char c = 0;
    while (in >> c) {
        if (c == 'C') {
            CurveNode& curve = curves.Tail();
            in.ignore(254, '{');
            if ((curve.count = ReadPointsClassic(in, curve.points, 4)) == 0 || !curves.Append())
                break;
        } else if (c == 'P') {
            PolygonNode& polygon = polygons.Tail();
            in.ignore(254, '(');
            if (!(in >> polygon.normal.x >> polygon.normal.y >> polygon.normal.z))
                break;
            in.ignore(254, '{');
            if ((polygon.count = ReadPointsClassic(in, polygon.vertices, 4)) == 0 ||
                !polygons.Append())
                break;
        } else if (c == 'S') {
            SurfaceNode& surface = surfaces.Tail();
            in.ignore(254, '{');
            if ((surface.count = ReadPointsClassic(in, surface.points, 16)) == 0 ||
                !surfaces.Append())
                break;
        }
    }
    return {{polygons.Finish(), curves.Finish(), surfaces.Finish()}};
}

double g_classicSeconds = 0.0;
double g_plainSeconds = 0.0;  // the scene reader's, without warnings

template <class Read>
void Measure(benchmark::State& state, Read read, double* seconds) {
    const std::size_t bytes = SceneBytes();
    double total = 0.0;
    std::size_t items = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto result = read();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        items = CountItems(result.scene.polygons.get()) + CountItems(result.scene.curves.get()) +
                CountItems(result.scene.surfaces.get());
        benchmark::DoNotOptimize(result);
    }
    const double perRun = total / static_cast<double>(state.iterations());
    if (seconds != nullptr) {
        *seconds = perRun;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    state.counters["MB/s"] = static_cast<double>(bytes) / (1 << 20) / perRun;
    state.counters["items"] = static_cast<double>(items);
}

void BM_ClassicStreamReader(benchmark::State& state) {
    Measure(
        state, [] { return ReadClassic(ScenePath()); }, &g_classicSeconds);
}

void BM_SceneReader(benchmark::State& state) {
    double own = 0.0;
    Measure(
        state, [] { return ReadSceneFile(ScenePath()); }, &own);
    if (g_classicSeconds > 0.0) {
        state.counters["speedup_vs_classic"] = g_classicSeconds / own;
    }
    g_plainSeconds = own;
    // Heap held by the lists of one reading, per item.
    const std::size_t before = mallinfo2().uordblks;
    SceneReadResult held = ReadSceneFile(ScenePath());
    const std::size_t after = mallinfo2().uordblks;
    const std::size_t items = CountItems(held.scene.polygons.get()) +
                              CountItems(held.scene.curves.get()) +
                              CountItems(held.scene.surfaces.get());
    state.counters["heap_bytes_per_item"] =
        static_cast<double>(after - before) / static_cast<double>(items);
}

// The same reading while collecting warnings, as the viewer and --check read.
void BM_SceneReaderWithWarnings(benchmark::State& state) {
    double own = 0.0;
    kavelo::scene::WarningList warnings;
    Measure(
        state,
        [&warnings] {
            warnings.Clear();
            return ReadSceneFile(ScenePath(), std::nullopt, {}, &warnings);
        },
        &own);
    if (g_plainSeconds > 0.0) {
        state.counters["time_vs_plain"] = own / g_plainSeconds;
    }
    state.counters["warnings"] = static_cast<double>(warnings.Total());
}

double g_freshArenaSeconds = 0.0;

// Readings into an arena, as the viewer reads: each after the lists of the one before are freed.
// `reuse`: the same arena every time, as at Restart; otherwise a new one, as at start-up.
void ReadIntoArena(benchmark::State& state, bool reuse) {
    std::optional<SceneNodeArena> arena;
    double total = 0.0;
    for (auto _ : state) {
        if (!reuse || !arena) {
            arena.emplace(kavelo::scene::HeapSceneNodes());
        }
        SceneFileReading how;
        how.nodes = &*arena;
        const auto start = std::chrono::steady_clock::now();
        SceneReadResult result = ReadSceneFile(ScenePath(), std::nullopt, how);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(result);
        result = {};
    }
    const double perRun = total / static_cast<double>(state.iterations());
    state.counters["MB/s"] = static_cast<double>(SceneBytes()) / (1 << 20) / perRun;
    if (!reuse) {
        g_freshArenaSeconds = perRun;
        if (g_plainSeconds > 0.0) {
            state.counters["time_vs_heap"] = perRun / g_plainSeconds;
        }
    } else if (g_freshArenaSeconds > 0.0) {
        state.counters["speedup_vs_fresh"] = g_freshArenaSeconds / perRun;
    }
}

void BM_SceneReaderFreshArena(benchmark::State& state) {
    ReadIntoArena(state, false);
}

void BM_SceneReaderReusedArena(benchmark::State& state) {
    ReadIntoArena(state, true);
}

constexpr int kCurves = 50000;

const std::string& CurveText() {
    static const std::string text = [] {
        std::mt19937 random(11);
        std::uniform_real_distribution<double> coordinate(-3.0, 3.0);
        std::string out;
        char number[32];
        for (int i = 0; i < kCurves; ++i) {
            out += "C {";
            for (int k = 0; k < 12; ++k) {
                std::snprintf(number, sizeof number, " %.6g", coordinate(random));
                out += number;
                out += k % 3 == 2 ? " 1" : "";
            }
            out += " }\n";
        }
        return out;
    }();
    return text;
}

double g_fromCharsSeconds = 0.0;

// The numbers of the curves alone, converted and nothing kept: the floor of reading them.
void BM_CurveNumbersFromChars(benchmark::State& state) {
    const std::string& text = CurveText();
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        double sum = 0.0;
        const char* p = text.data();
        const char* const end = p + text.size();
        while ((p = std::find_if(
                    p, end, [](char c) { return c == '-' || (c >= '0' && c <= '9'); })) != end) {
            double value = 0.0;
            p = std::from_chars(p, end, value).ptr;
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    g_fromCharsSeconds = total / static_cast<double>(state.iterations());
}

// Blocks for the arena straight from mmap, with `flags` and then `advice` (0: none).
class MappedSource final : public SceneNodeAllocator {
  public:
    MappedSource(int flags, int advice) : m_flags(flags), m_advice(advice) {}
    MappedSource(const MappedSource&) = delete;
    MappedSource& operator=(const MappedSource&) = delete;
    ~MappedSource() override {
        for (const auto& [memory, bytes] : m_maps) {
            if (memory != nullptr) {
                munmap(memory, bytes);
            }
        }
    }
    void* Allocate(std::size_t bytes) noexcept override {
        void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | m_flags, -1, 0);
        if (memory == MAP_FAILED) {
            return nullptr;
        }
        if (m_advice != 0) {
            madvise(memory, bytes, m_advice);
        }
        m_maps.emplace_back(memory, bytes);
        return memory;
    }
    void Free(void* node) noexcept override {
        for (auto& [memory, bytes] : m_maps) {
            if (memory == node) {
                munmap(memory, bytes);
                memory = nullptr;
            }
        }
    }

  private:
    int m_flags;
    int m_advice;
    std::vector<std::pair<void*, std::size_t>> m_maps;
};

double ResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) * 1024.0;
        }
    }
    return 0.0;
}

// Where the arena's blocks come from: the heap, as in the programs, or fresh pages as at start-up,
// given to the kernel's huge pages, populated whole when mapped, or announced with WILLNEED.
enum CurveBlocks { kHeapRecords, kArenaOnHeap, kFreshPages, kHugePages, kPopulated, kWillNeed };

// A fresh arena for every reading, its blocks as `state.range(0)` says. On the heap, readings after
// the first reuse the pages the one before gave back (the programs keep the heap); fresh pages are
// what start-up faults in.
void BM_CurveReading(benchmark::State& state) {
    const auto blocks = static_cast<CurveBlocks>(state.range(0));
    double total = 0.0;
    kavelo::bench::Usage usage;
    double resident = 0.0;
    for (auto _ : state) {
        std::optional<MappedSource> source;
        if (blocks >= kFreshPages) {
            source.emplace(blocks == kPopulated ? MAP_POPULATE : 0,
                           blocks == kHugePages  ? MADV_HUGEPAGE
                           : blocks == kWillNeed ? MADV_WILLNEED
                                                 : 0);
        }
        SceneNodeAllocator& heap = kavelo::scene::HeapSceneNodes();
        SceneNodeArena arena(source ? static_cast<SceneNodeAllocator&>(*source) : heap);
        SceneNodeAllocator& nodes = blocks == kHeapRecords ? heap : arena;
        const double residentBefore = ResidentBytes();
        const kavelo::bench::Usage before = kavelo::bench::Usage::Now();
        const auto start = std::chrono::steady_clock::now();
        SceneReadResult result = ReadSceneText(CurveText(), "input.txt", nullptr, {}, nodes);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        usage += kavelo::bench::Usage::Now() - before;
        resident += ResidentBytes() - residentBefore;
        benchmark::DoNotOptimize(result);
        result = {};
    }
    const double curves = static_cast<double>(state.iterations()) * kCurves;
    state.counters["ns_per_curve"] = total * 1e9 / curves;
    state.counters["faults_per_curve"] = usage.faults / curves;
    state.counters["resident_per_curve"] = resident / curves;
    if (g_fromCharsSeconds > 0.0) {
        state.counters["vs_from_chars"] = total * kCurves / curves / g_fromCharsSeconds;
    }
}

}  // namespace

BENCHMARK(BM_ClassicStreamReader)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SceneReader)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SceneReaderWithWarnings)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SceneReaderFreshArena)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SceneReaderReusedArena)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_CurveNumbersFromChars)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CurveReading)
    ->ArgName("heap_arena_fresh_huge_populated_willneed")
    ->DenseRange(kHeapRecords, kWillNeed)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

int main(int argc, char** argv) {
    kavelo::bench::ConfigureBenchHeap();  // the heap the programs read with
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
