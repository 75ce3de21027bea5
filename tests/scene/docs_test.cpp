// Keeps docs/scene-format.md and examples/ honest: every scene the page shows is the file it
// names, reads as the page says, and every example scene reads and checks as the page says.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "scene/dump.h"
#include "scene/reader.h"

using kavelo::scene::CountItems;
using kavelo::scene::DumpScene;
using kavelo::scene::ForEachItem;
using kavelo::scene::kSceneFileName;
using kavelo::scene::ReadSceneText;
using kavelo::scene::SceneLists;
using kavelo::scene::SceneReadResult;

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = KAVELO_SOURCE_DIR;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

struct Counts {
    std::size_t polygons;
    std::size_t curves;
    std::size_t surfaces;
    bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
    return out << "polygons " << c.polygons << ", curves " << c.curves << ", surfaces "
               << c.surfaces;
}

Counts CountsOf(const SceneLists& scene) {
    return {CountItems(scene.polygons.get()), CountItems(scene.curves.get()),
            CountItems(scene.surfaces.get())};
}

// A scene shown on the page: the fence, the file it names and what the page says it reads as.
struct ShownScene {
    int line;  // of the opening fence
    std::string file;
    std::string text;
    std::optional<Counts> claimed;
    std::optional<std::string> diagnostic;
};

// A dump shown on the page, with the file it is the dump of.
struct ShownDump {
    int line;
    std::string file;
    std::string text;
};

// What the page shows `kavelo-render --check examples/NAME` saying, run from the source folder.
struct ShownCheck {
    int line;
    std::string file;
    std::string text;
};

struct Page {
    std::vector<ShownScene> scenes;
    std::vector<ShownDump> dumps;
    std::vector<ShownCheck> checks;
    std::vector<std::string> faults;  // fences the page cannot vouch for
};

// Takes `literal` off the front of `text`.
bool Take(std::string_view& text, std::string_view literal) {
    if (text.substr(0, literal.size()) != literal) {
        return false;
    }
    text.remove_prefix(literal.size());
    return true;
}

// Takes a decimal count off the front of `text`.
bool TakeCount(std::string_view& text, std::size_t& count) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (ec != std::errc() || end == text.data()) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

// NAME, when `text` is exactly before + NAME + after and NAME holds no backtick.
std::optional<std::string> Between(std::string_view text, std::string_view before,
                                   std::string_view after) {
    if (!Take(text, before) || text.size() <= after.size() ||
        text.substr(text.size() - after.size()) != after) {
        return std::nullopt;
    }
    const std::string_view inner = text.substr(0, text.size() - after.size());
    if (inner.find('`') != std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(inner);
}

std::optional<Counts> ReadsAs(std::string_view line) {
    Counts c{};
    if (Take(line, "Reads as: polygons ") && TakeCount(line, c.polygons) &&
        Take(line, ", curves ") && TakeCount(line, c.curves) && Take(line, ", surfaces ") &&
        TakeCount(line, c.surfaces) && line == ".") {
        return c;
    }
    return std::nullopt;
}

// The file that a paragraph such as "... the dump of `examples/NAME` shows:" names.
std::optional<std::string> DumpOf(std::string_view paragraph) {
    constexpr std::string_view kMark = "dump of `examples/";
    const std::size_t at = paragraph.find(kMark);
    if (at == std::string_view::npos || paragraph.empty() || paragraph.back() != ':') {
        return std::nullopt;
    }
    const std::string_view rest = paragraph.substr(at + kMark.size());
    const std::size_t close = rest.find('`');
    if (close == std::string_view::npos || close == 0) {
        return std::nullopt;
    }
    return "examples/" + std::string(rest.substr(0, close));
}

// The file that a paragraph ending in "`kavelo-render --check examples/NAME` says:" names.
std::optional<std::string> CheckOf(std::string_view paragraph) {
    constexpr std::string_view kMark = "`kavelo-render --check examples/";
    constexpr std::string_view kEnd = "` says:";
    const std::size_t at = paragraph.rfind(kMark);
    if (at == std::string_view::npos || !paragraph.ends_with(kEnd)) {
        return std::nullopt;
    }
    const std::string_view name =
        paragraph.substr(at + kMark.size(), paragraph.size() - kEnd.size() - at - kMark.size());
    if (name.empty() || name.find('`') != std::string_view::npos) {
        return std::nullopt;
    }
    return "examples/" + std::string(name);
}

// Reads the page's fences. A fence without a language is a scene: the paragraph above it is
// "File `examples/NAME`:" and the line under it says "Reads as: polygons N, curves N,
// surfaces N.", followed by "Stops with: `DIAGNOSTIC`." for a broken file. A "text" fence under
// a paragraph that names "dump of `examples/NAME`" and ends in ":" is that file's dump. Other
// fences are left alone.
Page ParsePage(const std::string& markdown) {
    std::vector<std::string> lines;
    {
        std::istringstream in(markdown);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
    }
    // The paragraph that ends above line i, its lines joined by spaces.
    auto paragraphAbove = [&lines](std::size_t i) -> std::string {
        while (i > 0 && lines[i - 1].empty()) {
            --i;
        }
        std::string text;
        while (i > 0 && !lines[i - 1].empty()) {
            --i;
            text = text.empty() ? lines[i] : lines[i] + " " + text;
        }
        return text;
    };

    Page page;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("```", 0) != 0) {
            continue;
        }
        const int fenceLine = static_cast<int>(i) + 1;
        const std::string info = lines[i].substr(3);
        const std::string caption = paragraphAbove(i);
        std::string body;
        std::size_t end = i + 1;
        while (end < lines.size() && lines[end] != "```") {
            body += lines[end] + "\n";
            ++end;
        }
        if (end == lines.size()) {
            page.faults.push_back("line " + std::to_string(fenceLine) + ": fence never closed");
            break;
        }
        if (info.empty()) {
            const std::optional<std::string> name = Between(caption, "File `examples/", "`:");
            if (!name || name->empty()) {
                page.faults.push_back("line " + std::to_string(fenceLine) +
                                      ": scene fence without its \"File `examples/...`:\" line");
            } else {
                ShownScene scene{fenceLine, "examples/" + *name, body, std::nullopt, std::nullopt};
                std::size_t next = end + 1;
                while (next < lines.size() && lines[next].empty()) {
                    ++next;
                }
                if (next < lines.size()) {
                    scene.claimed = ReadsAs(lines[next]);
                }
                if (scene.claimed && next + 1 < lines.size()) {
                    scene.diagnostic = Between(lines[next + 1], "Stops with: `", "`.");
                }
                page.scenes.push_back(scene);
            }
        } else if (info == "text") {
            if (const std::optional<std::string> file = DumpOf(caption)) {
                page.dumps.push_back({fenceLine, *file, body});
            } else if (const std::optional<std::string> checked = CheckOf(caption)) {
                page.checks.push_back({fenceLine, *checked, body});
            }
        }
        i = end;
    }
    return page;
}

const Page& ThePage() {
    static const Page page = ParsePage(ReadBytes(kRoot / "docs" / "scene-format.md"));
    return page;
}

std::vector<fs::path> ExampleFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kRoot / "examples")) {
        if (entry.is_regular_file() && entry.path().extension() == ".txt") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(SceneFormatPage, EveryShownSceneIsItsFileAndReadsAsClaimed) {
    const Page& page = ThePage();
    for (const std::string& fault : page.faults) {
        ADD_FAILURE() << "docs/scene-format.md " << fault;
    }
    ASSERT_FALSE(page.scenes.empty());
    std::set<std::string> named;
    for (const ShownScene& shown : page.scenes) {
        SCOPED_TRACE("docs/scene-format.md:" + std::to_string(shown.line) + " " + shown.file);
        EXPECT_TRUE(named.insert(shown.file).second) << "shown twice";
        const fs::path path = kRoot / shown.file;
        ASSERT_TRUE(fs::is_regular_file(path));
        const std::string bytes = ReadBytes(path);
        EXPECT_EQ(shown.text, bytes) << "the fence differs from the file";

        // The viewer reads the file as "input.txt", so that is the name the page shows.
        const SceneReadResult result = ReadSceneText(bytes, kSceneFileName);
        ASSERT_TRUE(shown.claimed.has_value()) << "no \"Reads as:\" line under the fence";
        EXPECT_EQ(CountsOf(result.scene), *shown.claimed);
        EXPECT_EQ(result.diagnostic, shown.diagnostic);

        // The page says a file reads the same with Windows line ends.
        const SceneReadResult crlf = ReadSceneText(WithCrLf(bytes), kSceneFileName);
        EXPECT_EQ(DumpScene(crlf.scene), DumpScene(result.scene));
        EXPECT_EQ(crlf.diagnostic, result.diagnostic);
    }
}

TEST(SceneFormatPage, EveryShownDumpIsWhatTheReaderMakes) {
    const Page& page = ThePage();
    ASSERT_FALSE(page.dumps.empty());
    for (const ShownDump& shown : page.dumps) {
        SCOPED_TRACE("docs/scene-format.md:" + std::to_string(shown.line) + " " + shown.file);
        const fs::path path = kRoot / shown.file;
        ASSERT_TRUE(fs::is_regular_file(path));
        EXPECT_EQ(shown.text, DumpScene(ReadSceneText(ReadBytes(path)).scene));
    }
}

// A file is broken exactly when the page shows it stopping with a diagnostic, and then it is
// named broken-*.txt; every other example reads to its end. The format-*.txt, broken-*.txt and
// trap-*.txt files exist for the page and must all be shown on it.
TEST(SceneFormatPage, ExamplesReadCleanlyUnlessThePageShowsThemBroken) {
    std::map<std::string, const ShownScene*> shown;
    for (const ShownScene& scene : ThePage().scenes) {
        shown[scene.file] = &scene;
    }
    const std::vector<fs::path> files = ExampleFiles();
    ASSERT_FALSE(files.empty());
    for (const fs::path& path : files) {
        const std::string name = path.filename().string();
        const std::string key = "examples/" + name;
        SCOPED_TRACE(key);
        const bool forThePage = name.rfind("format-", 0) == 0 || name.rfind("broken-", 0) == 0 ||
                                name.rfind("trap-", 0) == 0;
        const auto it = shown.find(key);
        if (forThePage) {
            EXPECT_NE(it, shown.end()) << "not shown in docs/scene-format.md";
        }
        const bool shownBroken = it != shown.end() && it->second->diagnostic.has_value();
        EXPECT_EQ(shownBroken, name.rfind("broken-", 0) == 0);

        const SceneReadResult result = ReadSceneText(ReadBytes(path), kSceneFileName);
        if (shownBroken) {
            EXPECT_EQ(result.diagnostic, it->second->diagnostic);
        } else {
            EXPECT_EQ(result.diagnostic, std::nullopt);
        }
    }
}

struct CheckRun {
    int status;
    std::string err;
};

// `kavelo-render --check FILE` run from the source folder, as a user of the page runs it.
CheckRun RunCheck(const std::string& file) {
    const fs::path err =
        fs::temp_directory_path() / ("kavelo-docs-check-" + std::to_string(::getpid()) + ".err");
    const std::string command = "cd '" + kRoot.string() +
                                "' && '" KAVELO_BINARY_DIR "/tools/kavelo-render' --check '" +
                                file + "' >/dev/null 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    CheckRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(err)};
    fs::remove(err);
    return run;
}

TEST(SceneFormatPage, EveryShownCheckIsWhatTheToolSays) {
    const Page& page = ThePage();
    ASSERT_FALSE(page.checks.empty());
    for (const ShownCheck& shown : page.checks) {
        SCOPED_TRACE("docs/scene-format.md:" + std::to_string(shown.line) + " " + shown.file);
        const CheckRun run = RunCheck(shown.file);
        EXPECT_EQ(run.status, 5);
        EXPECT_EQ(run.err, shown.text);
    }
}

// Every example goes through the check: the broken ones stop with the page's message (naming the
// file as given), the traps warn as the page shows, and all others say nothing.
TEST(SceneFormatPage, EveryExampleChecksAsThePageSays) {
    std::map<std::string, const ShownScene*> shown;
    for (const ShownScene& scene : ThePage().scenes) {
        shown[scene.file] = &scene;
    }
    std::set<std::string> checked;
    for (const ShownCheck& check : ThePage().checks) {
        checked.insert(check.file);
    }
    for (const fs::path& path : ExampleFiles()) {
        const std::string key = "examples/" + path.filename().string();
        SCOPED_TRACE(key);
        const bool trap = path.filename().string().rfind("trap-", 0) == 0;
        EXPECT_EQ(checked.count(key) == 1, trap || key == "examples/format-capital.txt" ||
                                               key == "examples/format-limits.txt")
            << "the page shows its check exactly when it is a trap";
        const CheckRun run = RunCheck(key);
        const auto it = shown.find(key);
        if (it != shown.end() && it->second->diagnostic) {
            constexpr std::string_view kShownName = kSceneFileName;
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, key + it->second->diagnostic->substr(kShownName.size()) + "\n");
        } else if (checked.count(key) == 0) {
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.err, "");
        }
    }
}

// Warnings before a fault are told too, and the fault sets the status.
TEST(CheckTool, WarningsThenTheFault) {
    const fs::path file =
        fs::temp_directory_path() / ("kavelo-check-fault-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(file) << "C {1 2 3 4}\nC {1 2 x}\n";
    const CheckRun run = RunCheck(file.string());
    fs::remove(file);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, file.string() +
                           ":1:1: warning: a curve of 1 point draws nothing: a cubic curve takes "
                           "4\n" +
                           file.string() + ":2:8: expected a number, found \"x\"\n");
    EXPECT_EQ(RunCheck(file.string()).status, 1) << "a missing file is a fault";
}

// The scenes of the golden pictures are drawn as meant: the check has nothing to say of them.
TEST(CheckTool, GoldenPictureScenesAreQuiet) {
    for (const auto& entry : fs::directory_iterator(kRoot / "tests/data/pictures")) {
        if (entry.path().extension() == ".txt") {
            const CheckRun run = RunCheck(entry.path().string());
            EXPECT_EQ(run.status, 0) << run.err;
        }
    }
}

double Norm(double x, double y, double z) {
    return std::sqrt(x * x + y * y + z * z);
}

// The default view draws scene coordinates times 0.25 inside the cube from -1 to 1, so a scene
// within 4 of the origin stays whole whichever way it is turned. That holds for the scenes meant
// for viewing, not for the page's snippets. Curves and surfaces lie inside
// their control points only while every weight is positive.
TEST(SceneExamples, EveryExampleStaysInTheDefaultViewAtAnyAngle) {
    constexpr double kReach = 4.0;
    for (const fs::path& path : ExampleFiles()) {
        const std::string name = path.filename().string();
        if (name.rfind("format-", 0) == 0 || name.rfind("broken-", 0) == 0 ||
            name.rfind("trap-", 0) == 0) {
            continue;  // the page's snippets show syntax, not a view
        }
        SCOPED_TRACE(name);
        const SceneReadResult result = ReadSceneText(ReadBytes(path));
        ForEachItem(result.scene.polygons.get(), [&](const PolygonNode& polygon) {
            for (int i = 0; i < polygon.count; ++i) {
                const Point4& v = polygon.vertices[i];
                EXPECT_LE(Norm(v.x, v.y, v.z), kReach) << "vertex " << i;
            }
        });
        auto checkPoints = [&](const Point4* points, int count, const char* kind) {
            for (int i = 0; i < count; ++i) {
                const Point4& p = points[i];
                ASSERT_GT(p.w, 0.0) << kind << " point " << i;
                EXPECT_LE(Norm(p.x / p.w, p.y / p.w, p.z / p.w), kReach) << kind << " point " << i;
            }
        };
        ForEachItem(result.scene.curves.get(), [&](const CurveNode& curve) {
            checkPoints(curve.points, curve.count, "curve");
        });
        ForEachItem(result.scene.surfaces.get(), [&](const SurfaceNode& surface) {
            checkPoints(surface.points, surface.count, "surface");
        });
    }
}

// The teapot's data is checked once, by the script that writes it (closed rings, mirror halves,
// bounding box); the file must be what it writes, and read as 32 whole patches.
TEST(SceneExamples, TeapotIsWhatItsCheckedScriptWrites) {
    const fs::path written =
        fs::temp_directory_path() / ("kavelo-teapot-" + std::to_string(::getpid()) + ".txt");
    const std::string command =
        "python3 '" + (kRoot / "scripts/make_teapot.py").string() + "' >'" + written.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string bytes = ReadBytes(kRoot / "examples" / "teapot.txt");
    EXPECT_EQ(ReadBytes(written), bytes);
    fs::remove(written);
    const SceneReadResult result = ReadSceneText(bytes);
    ASSERT_EQ(result.diagnostic, std::nullopt);
    EXPECT_EQ(CountItems(result.scene.polygons.get()) + CountItems(result.scene.curves.get()), 0u);
    EXPECT_EQ(CountItems(result.scene.surfaces.get()), 32u);
    ForEachItem(result.scene.surfaces.get(),
                [](const SurfaceNode& patch) { EXPECT_EQ(patch.count, 16); });
}

}  // namespace
