#include "tools/export_mesh.h"

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "mesh/mesh_export.h"
#include "render/frame_renderer.h"
#include "render/scene_compiler.h"
#include "render/scene_tessellation.h"
#include "tools/output_file.h"
#include "tools/scene_input.h"
#include "tools/stats_line.h"
#include "tools/terminal_progress.h"

using kavelo::mesh::MeshFormat;
using kavelo::mesh::SceneMesh;
using kavelo::render::CompileDiagnostic;
using kavelo::render::kDrawColour;
using kavelo::render::kNoBudget;
using kavelo::render::MeshBudget;
using kavelo::render::PacedProgress;
using kavelo::render::ResizeSampling;
using kavelo::render::SceneGeometry;
using kavelo::render::SceneUnitSampling;
using kavelo::scene::ReadFault;
using kavelo::scene::SceneReadResult;

namespace kavelo::tools {

namespace {

// The scene as the picture of the request's size samples it, or in scene units; what the budget
// and the file format left out is told on stderr.
SceneMesh Tessellate(const PictureRequest& request, const SceneReadResult& read, double readMs) {
    const auto start = std::chrono::steady_clock::now();
    PacedProgress progress(ShowOnTerminal);
    const std::optional<std::size_t> asked =
        request.budget ? std::optional(*request.budget == 0 ? kNoBudget : *request.budget)
                       : std::nullopt;
    const SceneGeometry geometry = kavelo::render::TessellateScene(
        read.scene,
        request.tolerance > 0.0 ? SceneUnitSampling(request.tolerance)
                                : ResizeSampling(request.width, request.height),
        isatty(STDERR_FILENO) != 0 ? &progress : nullptr, MeshBudget(asked).budget);
    EndOnTerminal(progress);
    if (const std::string diagnostic = CompileDiagnostic(geometry.stats); !diagnostic.empty()) {
        std::cerr << "kavelo-render: " << diagnostic << "\n";
    }
    SceneMesh mesh = kavelo::mesh::MakeSceneMesh(geometry);
    const double tessellateMs = MillisecondsSince(start);
    if (mesh.leftOut > 0) {
        std::cerr << "kavelo-render: " << mesh.leftOut
                  << " triangles and segments with a point beyond the float range left out\n";
    }
    const bool stl = request.mesh == MeshFormat::kStl;
    if (stl && !geometry.curveStarts.empty()) {
        std::cerr << "kavelo-render: STL holds no lines: " << geometry.curveStarts.size()
                  << " curves left out\n";
        mesh.curves = {"curves", {}, {}, {}};
    }
    if (request.stats) {
        const std::size_t vertices =
            mesh.polygons.VertexCount() + mesh.curves.VertexCount() + mesh.surfaces.VertexCount();
        std::cerr << MeshStatsLine(readMs, tessellateMs, vertices, mesh.Triangles(),
                                   mesh.Segments())
                  << BudgetWords(geometry.stats.budget, geometry.stats.budgetApplied) << "\n";
    }
    return mesh;
}

}  // namespace

int ExportMesh(const PictureRequest& request) {
    const auto [read, readMs] = ReadAndReport(request.input);
    if (read.fault == ReadFault::kNotOpened) {
        return kExitReadFault;  // nothing to write: OUT stays as it was
    }
    std::string problem;
    try {
        const SceneMesh mesh = Tessellate(request, read, readMs);
        const std::string bytes = kavelo::mesh::WriteMesh(mesh, *request.mesh, kDrawColour);
        problem = WriteOutput(request.output, bytes);
    } catch (const std::bad_alloc&) {
        std::cerr << "kavelo-render: the mesh file does not fit in memory\n";
        return kExitNotWritten;
    }
    return WrittenStatus(request.output, problem, read);
}

}  // namespace kavelo::tools
