#include "tools/terminal_progress.h"

#include <unistd.h>

#include <iostream>

#include "scene/driver_reserve.h"
#include "scene/warning_list.h"
#include "tools/command_line.h"
#include "tools/exit_status.h"
#include "tools/scene_input.h"

using kavelo::render::PacedProgress;
using kavelo::scene::DriverReserve;

namespace kavelo::tools {

double MillisecondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
        .count();
}

void ShowOnTerminal(const std::string& text) {
    std::cerr << "\r" << text << std::flush;
}

void EndOnTerminal(const PacedProgress& progress) {
    if (progress.Shown()) {
        std::cerr << "\r\033[K" << std::flush;
    }
}

TimedReading ReadAndReport(const std::string& input) {
    const auto start = std::chrono::steady_clock::now();
    kavelo::scene::WarningList warnings;
    PacedProgress reading(ShowOnTerminal);
    kavelo::scene::ReadProgress tell;
    if (isatty(STDERR_FILENO) != 0) {
        tell = [&reading, &input](std::size_t done, std::size_t total) {
            return reading.Reading(input, done, total);
        };
    }
    TimedReading result;
    {
        const DriverReserve reserve;
        result.read = ReadSceneInput(input, &warnings, tell);
    }
    EndOnTerminal(reading);
    result.ms = MillisecondsSince(start);
    ReportReading(result.read, warnings, input);
    return result;
}

int WrittenStatus(const std::string& output, const std::string& problem,
                  const kavelo::scene::SceneReadResult& read) {
    if (!problem.empty()) {
        const std::string target = output == kStandardStream ? "to standard output" : output;
        std::cerr << "kavelo-render: cannot write " << target << ": " << problem << "\n";
        return kExitNotWritten;
    }
    return read.diagnostic ? kExitReadFault : 0;
}

}  // namespace kavelo::tools
