// kavelo-render's mesh files, read back by programs of the 3D world: the Khronos glTF validator
// and assimp (both installed by scripts/install-deps.sh --test).
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::string kTool = KAVELO_BINARY_DIR "/tools/kavelo-render";

class MeshExport : public kavelo::test::TempDirTest {
  protected:
    // Runs `command` through the shell, its output into m_out; returns its exit status.
    int Run(const std::string& command) {
        const fs::path out = m_dir / "out.txt";
        const int status = std::system((command + " >'" + out.string() + "' 2>&1").c_str());
        std::ifstream in(out);
        std::ostringstream text;
        text << in.rdbuf();
        m_out = text.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Exports `scene` to `file` in the folder; returns the triangles --stats counts.
    long Export(const fs::path& scene, const std::string& file, const std::string& options = "") {
        Run("ASAN_OPTIONS=detect_leaks=0 '" + kTool + "' '" + scene.string() + "' -o '" +
            (m_dir / file).string() + "' --stats " + options);
        std::smatch m;
        return std::regex_search(m_out, m, std::regex(" triangles=(\\d+)")) ? std::stol(m[1]) : -1;
    }

    std::string m_out;
};

std::vector<fs::path> Examples() {
    std::vector<fs::path> scenes;
    for (const auto& entry : fs::directory_iterator(KAVELO_SOURCE_DIR "/examples")) {
        scenes.push_back(entry.path());
    }
    return scenes;
}

TEST_F(MeshExport, EveryExampleIsGltfWithoutErrorOrWarning) {
    std::string files;
    for (const fs::path& scene : Examples()) {
        for (const char* extension : {".glb", ".gltf"}) {
            const std::string file = scene.stem().string() + extension;
            ASSERT_GE(Export(scene, file), 0) << m_out;
            files += " '" + (m_dir / file).string() + "'";
        }
    }
    EXPECT_EQ(
        Run("NODE_PATH='" KAVELO_SOURCE_DIR "/build-tools/node_modules' node '" KAVELO_SOURCE_DIR
            "/tests/support/validate_gltf.js'" +
            files),
        0)
        << m_out << "(scripts/install-deps.sh --test installs the validator)";
}

// assimp's own count of the triangles in the meshes it read.
long AssimpTriangles(const std::string& info) {
    long triangles = 0;
    const std::regex mesh(R"(\[\d+ / \d+ / (\d+) \| triangle\])");
    for (auto it = std::sregex_iterator(info.begin(), info.end(), mesh);
         it != std::sregex_iterator(); ++it) {
        triangles += std::stol((*it)[1]);
    }
    return triangles;
}

TEST_F(MeshExport, AssimpReadsEachFormatWithTheTrianglesTheStatsCount) {
    for (const char* name : {"input.txt", "teapot.txt", "weights.txt"}) {
        for (const char* extension : {".glb", ".gltf", ".obj", ".ply", ".stl"}) {
            const std::string file = std::string(name) + extension;
            const long triangles = Export(fs::path(KAVELO_SOURCE_DIR "/examples") / name, file);
            ASSERT_GT(triangles, 0) << file << ": " << m_out;
            // Raw: as read, before assimp's own clean-up drops the degenerate triangles.
            ASSERT_EQ(Run("assimp info '" + (m_dir / file).string() + "' -r"), 0) << m_out;
            EXPECT_EQ(AssimpTriangles(m_out), triangles) << file;
        }
    }
}

// Positions in scene units as read: a polygon's corners, and a weighted curve's end points
// divided through by their weights.
TEST_F(MeshExport, APolygonsCornersAndAWeightedCurvesEndsAreWhereTheSceneSays) {
    std::ofstream(m_dir / "scene.txt")
        << "P (0 0 1) { 0.5 -0.25 0 1   1.5 -0.25 0 1   1.5 0.75 0 1 }\n"
           "C { 2 4 6 2   1 1 1 1   3 3 3 3   8 4 2 4 }\n";
    Export(m_dir / "scene.txt", "scene.obj", "--tolerance=0.1");
    std::ifstream in(m_dir / "scene.obj");
    std::vector<std::string> polygon;
    std::vector<std::string> curve;
    std::string object;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("o ", 0) == 0) {
            object = line.substr(2);
        } else if (line.rfind("v ", 0) == 0) {
            const std::string point =
                line.substr(2, line.rfind(' ', line.rfind(' ', line.rfind(' ') - 1) - 1) - 2);
            (object == "polygons" ? polygon : curve).push_back(point);
        }
    }
    EXPECT_EQ(polygon, (std::vector<std::string>{"1.5 -0.25 0", "1.5 0.75 0", "0.5 -0.25 0"}));
    ASSERT_GE(curve.size(), 2u);
    EXPECT_EQ(curve.front(), "1 2 3");
    EXPECT_EQ(curve.back(), "2 1 0.5");
}

}  // namespace
