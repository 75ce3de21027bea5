// What kavelo-render's picture and mesh modes share before they part: the reading of FILE, its
// progress on a terminal, and its report on stderr.
#pragma once

#include <chrono>
#include <string>

#include "render/compile_progress.h"
#include "scene/reader.h"

namespace kavelo::tools {

double MillisecondsSince(std::chrono::steady_clock::time_point from);

// Long work tells how far it has come, on a terminal only, over one line it then clears.
void ShowOnTerminal(const std::string& text);
void EndOnTerminal(const kavelo::render::PacedProgress& progress);

struct TimedReading {
    kavelo::scene::SceneReadResult read;
    double ms = 0.0;
};

// Reads FILE with its progress on a terminal, leaving room in a limited address space for what
// comes after, then writes its warnings and fault on stderr.
TimedReading ReadAndReport(const std::string& input);

// The exit status once OUT is written, or not (`problem` says why), saying the reason on stderr.
int WrittenStatus(const std::string& output, const std::string& problem,
                  const kavelo::scene::SceneReadResult& read);

}  // namespace kavelo::tools
