// kavelo-render's OUT: rewritten in place when it may be, never left half written.
#include "tools/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

using kavelo::tools::ReplaceFile;

namespace {

namespace fs = std::filesystem;

class OutputFile : public kavelo::test::TempDirTest {
  protected:
    std::string Path(const char* name) const { return (m_dir / name).string(); }
};

std::string Text(const std::string& path) {
    return (std::ostringstream() << std::ifstream(path).rdbuf()).str();
}

TEST_F(OutputFile, AnExistingFileKeepsItsModeAndLinksAndNoTemporaryStays) {
    std::ofstream(Path("out.png")) << "earlier";
    ASSERT_EQ(chmod(Path("out.png").c_str(), 0600), 0);
    fs::create_hard_link(Path("out.png"), Path("link.png"));
    ASSERT_EQ(ReplaceFile(Path("out.png"), "the picture"), "");
    struct stat info {};
    ASSERT_EQ(stat(Path("out.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600U);
    EXPECT_EQ(info.st_nlink, 2U);
    EXPECT_EQ(Text(Path("link.png")), "the picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);
}

// Its file is rewritten, a new file is refused; root writes any folder, so the child is nobody.
TEST_F(OutputFile, AWritableFileInAReadOnlyFolderIsRewritten) {
    const fs::path folder = m_dir / "ro";
    fs::create_directory(folder);
    const std::string out = (folder / "out.png").string();
    std::ofstream(out) << "earlier";
    constexpr uid_t kNobody = 65534;
    ASSERT_TRUE(geteuid() != 0 || chown(out.c_str(), kNobody, kNobody) == 0);
    ASSERT_EQ(chmod(m_dir.c_str(), 0755) + chmod(folder.c_str(), 0555), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            _exit(2);
        }
        const bool rewritten = ReplaceFile(out, "the picture").empty();
        const bool refused = ReplaceFile((folder / "new.png").string(), "x") == "Permission denied";
        _exit(rewritten && refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Text(out), "the picture");
    chmod(folder.c_str(), 0755);
}

}  // namespace
