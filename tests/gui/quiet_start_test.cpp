// The viewer started where nobody set XDG_RUNTIME_DIR (cron, containers, sudo): standard error
// holds the program's own lines, the fault of its scene among them, and no toolkit notice.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(QuietStart, OnlyTheProgramsOwnLinesWhereXdgRuntimeDirIsUnset) {
    const fs::path dir =
        fs::temp_directory_path() / ("kavelo-quiet-start-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "input.txt") << "C { 1 x }\n";
    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    viewer.setProcessEnvironment(environment);
    viewer.setWorkingDirectory(QString::fromStdString(dir.string()));
    viewer.setReadChannel(QProcess::StandardError);
    viewer.start(QStringLiteral(KAVELO_BINARY_DIR "/shell/kavelo"), {});
    ASSERT_TRUE(viewer.waitForStarted(20000));
    // The fault is written when the view reads its scene, after the toolkit has started.
    QByteArray err;
    while (!err.contains("\n") && viewer.waitForReadyRead(20000)) {
        err += viewer.readAllStandardError();
    }
    viewer.kill();
    viewer.waitForFinished(20000);
    err += viewer.readAllStandardError();
    fs::remove_all(dir);
    EXPECT_EQ(err.toStdString(), "input.txt:1:7: expected a number, found \"x\"\n");
}

}  // namespace
