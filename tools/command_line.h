// The command line of kavelo-render: one table of options, read with getopt_long.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "mesh/mesh_export.h"
#include "navigation/view_params.h"
#include "tools/exit_status.h"

namespace kavelo::tools {

// The picture formats, named by the output file's extension.
enum class ImageFormat { kPng, kJpeg, kBmp, kPpm };

struct PictureRequest {
    std::string input;   // "-" is standard input
    std::string output;  // "-" is standard output
    ImageFormat format = ImageFormat::kPng;
    int width = 800;
    int height = 600;
    double ratio = 1.0;  // device pixels a pixel: the picture is `ratio` times the size
    ViewParams params;   // the viewer's defaults unless an option says otherwise
    bool banner = true;
    bool stats = false;  // times and sizes on standard error
    int frames = 1;      // drawn after the compile; --stats gives their median
    // Triangles and segments the list may hold, 0 for no bound; unset: the renderer's.
    std::optional<std::size_t> budget;
    bool force = false;  // write a picture to a terminal too
    // Set when OUT names a mesh file: the tessellated scene is written instead of a picture.
    std::optional<kavelo::mesh::MeshFormat> mesh;
    double tolerance = 0.0;  // above 0: the mesh is sampled in scene units
};

enum class ToolMode { kPicture, kDump, kCheck, kHelp, kVersion };

struct ToolCommand {
    ToolMode mode = ToolMode::kPicture;
    PictureRequest picture;  // the input is read in every mode that reads
};

// The name of standard input and output on the command line.
inline constexpr const char kStandardStream[] = "-";

// Fills `command` from the arguments; an empty result means success, otherwise the problem.
std::string ParseCommandLine(int argc, char** argv, ToolCommand& command);

// The text of --help and --version.
std::string HelpText();
std::string VersionText();

// Where a usage problem sends the user, after the problem itself.
inline constexpr const char kTryHelp[] = "Try 'kavelo-render --help' for more information.\n";

}  // namespace kavelo::tools
