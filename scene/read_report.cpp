#include "scene/read_report.h"

namespace kavelo::scene {

std::string ReadingReport(const SceneReadResult& result, const WarningList& warnings,
                          std::string_view program, std::string_view file) {
    std::string report;
    for (const std::string& warning : warnings.Kept()) {
        report += warning + "\n";
    }
    const std::size_t more = warnings.Total() - warnings.Kept().size();
    if (more > 0 && !warnings.Streams()) {
        report += "... and " + GroupedNumber(more) +
                  (more == 1 ? " more warning" : " more warnings") + ": kavelo-render --check " +
                  std::string(file) + " lists them all\n";
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
                           const WarningList& warnings) {
    if (diagnostic) {
        return *diagnostic;
    }
    if (warnings.Kept().empty()) {
        return {};
    }
    return warnings.Total() == 1
               ? warnings.Kept().front()
               : warnings.Kept().front() + " (1 of " + std::to_string(warnings.Total()) + ")";
}

}  // namespace kavelo::scene
