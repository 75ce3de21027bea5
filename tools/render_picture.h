// The picture mode of kavelo-render: a scene file drawn headless as the viewer draws it.
#pragma once

#include <QByteArray>

#include <string>

#include "tools/command_line.h"

namespace kavelo::tools {

// Reads, draws and writes the picture; returns the exit status.
int RenderPicture(const PictureRequest& request);

// Writes `bytes` to OUT as a picture is written, whole or not at all ("-": standard output); an
// empty result means success, otherwise why not.
std::string WriteOutput(const std::string& output, const QByteArray& bytes);

}  // namespace kavelo::tools
