// The README's key table must say what the program's key table does, row by row.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "shell/resources/resources.h"

using kavelo::resources::AcceleratorEntry;
using kavelo::resources::MainAccelerators;

namespace {

struct Row {
    std::string key;
    std::string effect;
    std::string step;
};

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    std::getline(in, cell, '|');  // before the first bar
    while (std::getline(in, cell, '|')) {
        const auto first = cell.find_first_not_of(' ');
        const auto last = cell.find_last_not_of(' ');
        cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
    }
    if (!cells.empty() && cells.back().empty()) {
        cells.pop_back();
    }
    return cells;
}

std::vector<Row> ReadmeKeyRows() {
    std::ifstream readme(KAVELO_SOURCE_DIR "/README.md");
    std::string line;
    while (std::getline(readme, line) && line.find("<!-- keys:") == std::string::npos) {
    }
    std::vector<Row> rows;
    std::getline(readme, line);  // header
    std::getline(readme, line);  // rule
    while (std::getline(readme, line) && line.starts_with("|")) {
        const std::vector<std::string> cells = Cells(line);
        if (cells.size() == 3) {
            rows.push_back({cells[0], cells[1], cells[2]});
        }
    }
    return rows;
}

// The README's key names as key-table entries.
AcceleratorEntry ParseKey(std::string name) {
    unsigned flags = FVIRTKEY | FNOINVERT;
    for (const auto& [prefix, flag] :
         {std::pair{"Ctrl+", FCONTROL}, std::pair{"Alt+", FALT}, std::pair{"Shift+", FSHIFT}}) {
        if (name.starts_with(prefix)) {
            flags |= flag;
            name = name.substr(std::string(prefix).size());
        }
    }
    static const std::map<std::string, unsigned> kKeys = {
        {"Left", VK_LEFT},     {"Right", VK_RIGHT},
        {"Up", VK_UP},         {"Down", VK_DOWN},
        {"Page Up", VK_PRIOR}, {"Page Down", VK_NEXT},
        {"Keypad +", VK_ADD},  {"Keypad \u2212", VK_SUBTRACT},
    };
    const auto key = kKeys.find(name);
    return {flags, key == kKeys.end() ? 0u : key->second, 0};
}

TEST(ReadmeKeys, TableMatchesTheProgramsKeyTable) {
    const std::vector<Row> rows = ReadmeKeyRows();
    const auto table = MainAccelerators();
    ASSERT_EQ(rows.size(), table.size()) << "README key table rows";
    // What each command does, in the README's words, and its step.
    const std::map<unsigned, std::pair<std::string, std::string>> kMeaning = {
        {ID_ZOOM_IN, {"zoom in", "\u00d7 1.1"}},
        {ID_ZOOM_OUT, {"zoom out", "\u00f7 1.1"}},
        {ID_MOVE_LEFT, {"move the scene left", "0.01"}},
        {ID_MOVE_RIGHT, {"move the scene right", "0.01"}},
        {ID_MOVE_UP, {"move the scene up", "0.01"}},
        {ID_MOVE_DOWN, {"move the scene down", "0.01"}},
        {ID_ROTATE_X_PLUS, {"turn about the X axis, angle up", "1\u00b0"}},
        {ID_ROTATE_X_MINUS, {"turn about the X axis, angle down", "1\u00b0"}},
        {ID_ROTATE_Y_PLUS, {"turn about the Y axis, angle up", "1\u00b0"}},
        {ID_ROTATE_Y_MINUS, {"turn about the Y axis, angle down", "1\u00b0"}},
        {ID_ROTATE_Z_PLUS, {"turn about the Z axis, angle up", "1\u00b0"}},
        {ID_ROTATE_Z_MINUS, {"turn about the Z axis, angle down", "1\u00b0"}},
        {ID_PERSPECTIVE_PLUS, {"more perspective", "0.1"}},
        {ID_PERSPECTIVE_MINUS, {"less perspective", "0.1"}},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const AcceleratorEntry key = ParseKey(rows[i].key);
        EXPECT_EQ(key.virtualKey, table[i].virtualKey) << "row " << i << ": " << rows[i].key;
        EXPECT_EQ(key.flags, table[i].flags) << "row " << i << ": " << rows[i].key;
        const auto meaning = kMeaning.find(table[i].command);
        ASSERT_NE(meaning, kMeaning.end());
        EXPECT_TRUE(rows[i].effect.starts_with(meaning->second.first))
            << "row " << i << ": " << rows[i].effect;
        EXPECT_EQ(rows[i].step, meaning->second.second) << "row " << i;
    }
}

}  // namespace
