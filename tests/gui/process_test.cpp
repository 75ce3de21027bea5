// The built `kavelo` program as a user starts it: its own process, its own window.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const QString kKavelo = QStringLiteral(KAVELO_BINARY_DIR "/shell/kavelo");

// Runs xdotool and gives its output, trimmed.
QString XDoTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(20000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The id of the first window with exactly this name, 0 while there is none.
WId FindWindow(const QString& name) {
    const QString ids = XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), QStringLiteral("^%1$").arg(name)});
    return ids.isEmpty() ? 0 : ids.split('\n').first().toULongLong();
}

WId WaitForWindow(const QString& name, int milliseconds = 20000) {
    for (int waited = 0; waited < milliseconds; waited += 100) {
        if (const WId id = FindWindow(name)) {
            return id;
        }
        QTest::qWait(100);
    }
    return 0;
}

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / "kavelo-process-test";
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        std::ofstream(m_dir / "input.txt")
            << "P (0 0 1) { -4 -4 0 1  4 -4 0 1  4 4 0 1  -4 4 0 1 }\n";
        std::ofstream(m_dir / "other.txt") << "no items here\n";
        m_process.setWorkingDirectory(QString::fromStdString(m_dir.string()));
        // A sanitizer build of the program would report what Mesa keeps once its driver is
        // unloaded at exit; the in-process tests check the program's own memory.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        m_process.setProcessEnvironment(environment);
    }
    void TearDown() override {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        fs::remove_all(m_dir);
    }

    fs::path m_dir;
    QProcess m_process;
};

TEST_F(Program, ShowsTheSceneOfInputTxtWhateverTheArgumentsAndExitsFromTheMenu) {
    m_process.start(kKavelo, {QStringLiteral("other.txt")});
    ASSERT_TRUE(m_process.waitForStarted(10000));
    const WId window = WaitForWindow(QStringLiteral("Scene from input.txt - Kavelo"));
    ASSERT_NE(window, 0u) << "no window captioned \"Scene from input.txt - Kavelo\"";
    QTest::qWait(500);

    // The square fills the middle of the view in the scene's colour; the view's lower corner,
    // just above the status bar, is black.
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
    ASSERT_FALSE(shot.isNull());
    const QColor middle = shot.pixelColor(shot.width() * 2 / 3, shot.height() / 2);
    EXPECT_GT(middle.red(), 40) << middle.name().toStdString();
    EXPECT_GT(middle.red(), 3 * middle.green()) << middle.name().toStdString();
    const QColor corner = shot.pixelColor(shot.width() - 4, shot.height() - 40);
    EXPECT_EQ(corner, QColor(Qt::black)) << corner.name().toStdString();

    // File > Exit, by the keyboard.
    XDoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
    XDoTool({QStringLiteral("key"), QStringLiteral("--window"), QString::number(window),
             QStringLiteral("alt+f")});
    QTest::qWait(300);
    XDoTool({QStringLiteral("key"), QStringLiteral("x")});
    ASSERT_TRUE(m_process.waitForFinished(10000)) << "still running after File > Exit";
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_process.exitCode(), 0);
}

TEST_F(Program, NoRenderingContextGivesAMessageAndAFailingStatus) {
    QProcessEnvironment environment = m_process.processEnvironment();
    environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    m_process.setProcessEnvironment(environment);
    m_process.start(kKavelo, {});
    ASSERT_TRUE(m_process.waitForStarted(10000));
    const WId box = WaitForWindow(QStringLiteral("Kavelo"));
    ASSERT_NE(box, 0u) << "no message box captioned \"Kavelo\"";
    EXPECT_EQ(FindWindow(QStringLiteral("Scene from input.txt - Kavelo")), 0u);
    XDoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(box)});
    XDoTool({QStringLiteral("key"), QStringLiteral("--window"), QString::number(box),
             QStringLiteral("Return")});
    ASSERT_TRUE(m_process.waitForFinished(10000));
    EXPECT_NE(m_process.exitCode(), 0);
}

// scripts/run.sh on a scene of another name: Restart after an edit of that file shows the edit,
// and the folder through which the viewer reads it is gone when the viewer is.
TEST_F(Program, RunScriptShowsEachEditOfTheNamedSceneOnRestart) {
    const fs::path scene = m_dir / "scene.txt";
    std::ofstream(scene) << "P (0 0 1) { -4 -4 0 1  4 -4 0 1  4 4 0 1  -4 4 0 1 }\n";
    const fs::path tmp = m_dir / "tmp";
    fs::create_directories(tmp);
    QProcessEnvironment environment = m_process.processEnvironment();
    environment.insert(QStringLiteral("KAVELO_PREBUILT"), QStringLiteral(KAVELO_BINARY_DIR));
    environment.insert(QStringLiteral("TMPDIR"), QString::fromStdString(tmp.string()));
    m_process.setProcessEnvironment(environment);
    m_process.start(QStringLiteral("bash"), {QStringLiteral(KAVELO_SOURCE_DIR "/scripts/run.sh"),
                                             QString::fromStdString(scene.string())});
    const WId window = WaitForWindow(QStringLiteral("Scene from input.txt - Kavelo"));
    ASSERT_NE(window, 0u) << m_process.readAllStandardError().toStdString();
    // The middle of the window once `wanted` holds for it, or after five seconds.
    auto middle = [window](auto wanted) {
        QColor colour;
        for (int waited = 0; waited < 5000; waited += 100) {
            const QImage shot = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
            colour = shot.pixelColor(shot.width() * 2 / 3, shot.height() / 2);
            if (wanted(colour)) {
                break;
            }
            QTest::qWait(100);
        }
        return colour;
    };
    auto lit = [](const QColor& c) { return c.red() > 40; };
    auto black = [](const QColor& c) { return c == QColor(Qt::black); };
    auto menu = [window](const char* key) {
        XDoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
        XDoTool({QStringLiteral("key"), QStringLiteral("--window"), QString::number(window),
                 QStringLiteral("alt+f")});
        QTest::qWait(300);
        XDoTool({QStringLiteral("key"), QString::fromLatin1(key)});
    };
    EXPECT_TRUE(lit(middle(lit))) << "the square before the edit";

    std::ofstream(scene) << "no items now\n";
    menu("r");
    EXPECT_TRUE(black(middle(black))) << "the edit after Restart";

    menu("x");
    ASSERT_TRUE(m_process.waitForFinished(10000)) << "still running after File > Exit";
    EXPECT_EQ(m_process.exitCode(), 0);
    EXPECT_TRUE(fs::is_empty(tmp)) << "run.sh left its folder behind";
    EXPECT_TRUE(fs::exists(scene));
}

}  // namespace
