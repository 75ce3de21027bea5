// The picture mode of kavelo-render: a scene file drawn headless as the viewer draws it.
#pragma once

#include <string>

#include "navigation/view_params.h"
#include "tools/exit_status.h"

struct PictureRequest {
    std::string input;
    std::string output;
    int width = 800;
    int height = 600;
    ViewParams params;  // the viewer's defaults unless an option says otherwise
    bool banner = true;
};

// Parses `FILE -o OUT.png [options]`; an empty result means success, otherwise the problem.
std::string ParsePictureArgs(int argc, char** argv, PictureRequest& request);

// Reads, draws and writes the picture; returns the exit status.
int RenderPicture(const PictureRequest& request);
