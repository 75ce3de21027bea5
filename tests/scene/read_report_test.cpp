// What a reading tells its user, apart from any window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/read_report.h"

using kavelo::scene::ReadFault;
using kavelo::scene::ReadingReport;
using kavelo::scene::SceneReadResult;
using kavelo::scene::StatusPaneText;

namespace {

TEST(ReadReport, StatusPaneShowsTheFaultOrTheFirstWarningOfN) {
    const std::vector<std::string> none;
    const std::vector<std::string> one = {"f:1:1: warning: a"};
    const std::vector<std::string> three = {"f:1:1: warning: a", "f:2:1: warning: b", "f:3:1: c"};
    EXPECT_EQ(StatusPaneText(std::nullopt, none), "");
    EXPECT_EQ(StatusPaneText(std::nullopt, one), "f:1:1: warning: a");
    EXPECT_EQ(StatusPaneText(std::nullopt, three), "f:1:1: warning: a (1 of 3)");
    EXPECT_EQ(StatusPaneText(std::string("f:4:2: expected a number"), three),
              "f:4:2: expected a number");
}

TEST(ReadReport, WarningsThenTheFaultWhichNamesTheProgramWhenItHasNoPlace) {
    SceneReadResult result;
    result.diagnostic = "f: cannot open: No such file or directory";
    result.fault = ReadFault::kNotOpened;
    EXPECT_EQ(ReadingReport(result, {}, "prog"),
              "prog: f: cannot open: No such file or directory\n");
    result.diagnostic = "f:2:1: expected a number, found \"x\"";
    result.fault = ReadFault::kInText;
    EXPECT_EQ(ReadingReport(result, {"f:1:1: warning: a"}, "prog"),
              "f:1:1: warning: a\nf:2:1: expected a number, found \"x\"\n");
}

}  // namespace
