// What a reading tells its user, apart from any window.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "scene/read_report.h"
#include "scene/warning_list.h"

using kavelo::scene::ReadFault;
using kavelo::scene::ReadingReport;
using kavelo::scene::SceneReadResult;
using kavelo::scene::StatusPaneText;
using kavelo::scene::WarningList;

namespace {

// A list of `n` warnings "f:I:1: warning: wI".
WarningList Warnings(int n, WarningList list = WarningList()) {
    for (int i = 1; i <= n; ++i) {
        list.Add("f:" + std::to_string(i) + ":1: warning: w" + std::to_string(i));
    }
    return list;
}

TEST(ReadReport, StatusPaneShowsTheFaultOrTheFirstWarningOfN) {
    EXPECT_EQ(StatusPaneText(std::nullopt, Warnings(0)), "");
    EXPECT_EQ(StatusPaneText(std::nullopt, Warnings(1)), "f:1:1: warning: w1");
    EXPECT_EQ(StatusPaneText(std::nullopt, Warnings(3)), "f:1:1: warning: w1 (1 of 3)");
    EXPECT_EQ(StatusPaneText(std::nullopt, Warnings(30000)), "f:1:1: warning: w1 (1 of 30000)");
    EXPECT_EQ(StatusPaneText(std::string("f:4:2: expected a number"), Warnings(3)),
              "f:4:2: expected a number");
}

TEST(ReadReport, WarningsThenTheFaultWhichNamesTheProgramWhenItHasNoPlace) {
    SceneReadResult result;
    result.diagnostic = "f: cannot open: No such file or directory";
    result.fault = ReadFault::kNotOpened;
    EXPECT_EQ(ReadingReport(result, Warnings(0), "prog", "f"),
              "prog: f: cannot open: No such file or directory\n");
    result.diagnostic = "f:2:1: expected a number, found \"x\"";
    result.fault = ReadFault::kInText;
    EXPECT_EQ(ReadingReport(result, Warnings(1), "prog", "f"),
              "f:1:1: warning: w1\nf:2:1: expected a number, found \"x\"\n");
}

TEST(ReadReport, TwentyWarningsThenHowManyMoreUnlessEachWasListedAsFound) {
    const SceneReadResult clean;
    const std::string twenty = ReadingReport(clean, Warnings(20), "prog", "in.txt");
    EXPECT_TRUE(twenty.ends_with("f:20:1: warning: w20\n"));
    EXPECT_EQ(ReadingReport(clean, Warnings(21), "prog", "in.txt"),
              twenty + "... and 1 more warning: kavelo-render --check in.txt lists them all\n");
    EXPECT_EQ(
        ReadingReport(clean, Warnings(7730), "prog", "in.txt"),
        twenty + "... and 7,710 more warnings: kavelo-render --check in.txt lists them all\n");
    EXPECT_EQ(ReadingReport(clean, Warnings(7730, WarningList(0, [](const std::string&) {})),
                            "prog", "in.txt"),
              "");
}

// Counts in messages, grouped by threes in every locale.
TEST(GroupedNumber, CommasEveryThreeDigitsFromTheRight) {
    const std::pair<std::size_t, const char*> cases[] = {
        {0, "0"},        {999, "999"},        {1000, "1,000"},
        {9384, "9,384"}, {300000, "300,000"}, {1234567, "1,234,567"}};
    for (const auto& [n, text] : cases) {
        EXPECT_EQ(kavelo::scene::GroupedNumber(n), text);
    }
}

}  // namespace
