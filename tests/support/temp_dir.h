// A test with a fresh folder of its own under /tmp, removed with all it holds when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace kavelo::test {

class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = "/tmp/kavelo-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path m_dir;
};

}  // namespace kavelo::test
