#include "scene/read_report.h"

namespace kavelo::scene {

std::string ReadingReport(const SceneReadResult& result, const std::vector<std::string>& warnings,
                          std::string_view program) {
    std::string report;
    for (const std::string& warning : warnings) {
        report += warning + "\n";
    }
    if (result.diagnostic) {
        if (result.fault != ReadFault::kInText) {
            report += std::string(program) + ": ";
        }
        report += *result.diagnostic + "\n";
    }
    return report;
}

std::string StatusPaneText(const std::optional<std::string>& diagnostic,
                           const std::vector<std::string>& warnings) {
    if (diagnostic) {
        return *diagnostic;
    }
    if (warnings.empty()) {
        return {};
    }
    return warnings.size() == 1
               ? warnings.front()
               : warnings.front() + " (1 of " + std::to_string(warnings.size()) + ")";
}

}  // namespace kavelo::scene
