// The picture mode of kavelo-render: a scene file drawn headless as the viewer draws it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "navigation/view_params.h"

struct PictureRequest {
    std::string input;
    std::string output;
    int width = 800;
    int height = 600;
    ViewParams params;  // the viewer's defaults unless an option says otherwise
    bool banner = true;
    bool stats = false;  // times and sizes on stderr
    int frames = 1;      // drawn after the compile; stats give their median
};

// Exit statuses of the picture mode besides 0 and the reader's 1.
inline constexpr int kExitNoContext = 3;
inline constexpr int kExitNotWritten = 4;

// Parses `FILE -o OUT.png [options]`; an empty result means success, otherwise the problem.
std::string ParsePictureArgs(int argc, char** argv, PictureRequest& request);

// The statistics line: `read_ms=R compile_ms=C frame_ms=F frames=N vertices=V triangles=T`,
// times in milliseconds with two decimals, F the median of the frame times.
std::string StatsLine(double readMs, double compileMs, std::vector<double> frameMs,
                      std::size_t vertices, std::size_t triangles);

// Reads, draws and writes the picture; returns the exit status.
int RenderPicture(const PictureRequest& request);
