// The scene file as the system hands it over: pipes, devices, sockets, files that change while
// they are read, and files that are not there.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "scene/dump.h"
#include "scene/reader.h"
#include "scene/scene_file.h"
#include "support/temp_dir.h"

using kavelo::scene::CountItems;
using kavelo::scene::DumpScene;
using kavelo::scene::ReadSceneFile;
using kavelo::scene::ReadSceneStream;
using kavelo::scene::SceneFileReading;
using kavelo::scene::SceneReadResult;

namespace {

namespace fs = std::filesystem;

class SceneFile : public kavelo::test::TempDirTest {};

// The dump and diagnostic of reading `path` as "input.txt", read in a child process that gets
// `seconds` to finish; "timed out" when it does not.
std::string ReadInChild(const std::string& path, int seconds) {
    int out[2];
    if (pipe(out) != 0) {
        return "no pipe";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        const SceneReadResult r = ReadSceneFile(path, std::string_view("input.txt"));
        const std::string text = DumpScene(r.scene) + r.diagnostic.value_or("");
        const bool written =
            write(out[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        _exit(written ? 0 : 1);
    }
    close(out[1]);
    std::string text;
    pollfd ready{out[0], POLLIN, 0};
    bool timedOut = false;
    for (;;) {
        if (poll(&ready, 1, seconds * 1000) <= 0) {
            timedOut = true;
            break;
        }
        char buffer[4096];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    if (timedOut) {
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (timedOut) {
        return "timed out";
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "child failed";
}

TEST_F(SceneFile, AnythingButARegularFileIsRefusedAtOnce) {
    const fs::path fifo = m_dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // and no writer
    const fs::path zero = m_dir / "input.txt";
    fs::create_symlink("/dev/zero", zero);
    const fs::path socketPath = m_dir / "socket";
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);

    const std::string refused = "polygons 0\ncurves 0\nsurfaces 0\ninput.txt: not a regular file";
    for (const std::string& path : {fifo.string(), zero.string(), std::string("/dev/urandom"),
                                    std::string("/dev/tty"), socketPath.string(), m_dir.string()}) {
        EXPECT_EQ(ReadInChild(path, 5), refused) << path;
    }
    close(listener);
}

// A file that shrinks or grows between two chunks of the reading.
TEST_F(SceneFile, AFileThatChangesWhileItIsReadKeepsWhatWasRead) {
    const fs::path path = m_dir / "input.txt";
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text += "C{" + std::to_string(i) + " 0 0 1}\n";  // 12 bytes an item
    }
    struct Case {
        const char* change;
        std::size_t curves;
        const char* diagnostic;
    };
    for (const Case c : {Case{"shrink", 3, "input.txt: shrank while it was read"},
                         Case{"grow", 10, "input.txt: grew while it was read"}}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        SceneFileReading how;
        how.chunkBytes = 36;  // three items
        how.afterChunk = [&](std::size_t got) {
            if (got != 36) {
                return;
            }
            if (std::string(c.change) == "shrink") {
                fs::resize_file(path, 40);
            } else {
                std::ofstream(path, std::ios::binary | std::ios::app) << "C{10 0 0 1}\n";
            }
        };
        const SceneReadResult r = ReadSceneFile(path.string(), std::string_view("input.txt"), how);
        EXPECT_EQ(CountItems(r.scene.curves.get()), c.curves) << c.change;
        EXPECT_EQ(r.diagnostic.value_or(""), c.diagnostic) << c.change;
    }
}

TEST_F(SceneFile, AMissingFileNamesTheDirectoryLookedIn) {
    const fs::path previous = fs::current_path();
    fs::current_path(m_dir);
    const SceneReadResult here = ReadSceneFile("input.txt", std::string_view("input.txt"));
    fs::current_path(previous);
    EXPECT_EQ(here.diagnostic.value_or(""),
              "input.txt: cannot open: No such file or directory (in " + m_dir.string() + ")");
    ASSERT_NE(here.scene.curves.get(), nullptr);
    EXPECT_EQ(here.scene.curves->next, nullptr);  // the sentinel alone
    const SceneReadResult there = ReadSceneFile((m_dir / "sub/../input.txt").string());
    EXPECT_EQ(there.diagnostic.value_or(""), (m_dir / "sub/../input.txt").string() +
                                                 ": cannot open: No such file or directory (in " +
                                                 m_dir.string() + ")");
    // A folder that does not exist is not named as the place looked in.
    const std::string nowhere = (m_dir / "none/input.txt").string();
    EXPECT_EQ(ReadSceneFile(nowhere).diagnostic,
              nowhere + ": cannot open: No such file or directory");
}

}  // namespace

namespace {

// A stream longer than the memory there is: the items of what fits are kept, and it says so.
TEST(SceneStream, RunningOutOfMemoryKeepsTheItemsReadSoFar) {
    const fs::path path = fs::temp_directory_path() / "kavelo-stream-test.txt";
    std::string text;
    while (text.size() < (std::size_t{1} << 17)) {
        text += "C {0 0 0 1 1 1 0 1 2 1 0 1 3 0 0 1}\n";
    }
    std::ofstream(path) << text;
    const int fd = ::open(path.c_str(), O_RDONLY);
    const SceneReadResult r = ReadSceneStream(fd, "<stdin>", nullptr, std::size_t{100} << 10);
    ::close(fd);
    fs::remove(path);
    // Whole items in the first 96 KiB: past a doubling, the memory left is used in smaller steps.
    const std::size_t kept = (std::size_t{96} << 10) / 36;
    EXPECT_EQ(r.diagnostic, "<stdin>: out of memory after " + std::to_string(kept) + " items");
    EXPECT_EQ(CountItems(r.scene.curves.get()), kept);
}

}  // namespace
