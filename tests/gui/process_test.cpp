// The built `kavelo` program as a user starts it: its own process, its own window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include <dlfcn.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "platform/widgets/menu_builder.h"
#include "shell/control_panel.h"
#include "support/mesa_driver.h"
#include "support/temp_dir.h"

using kavelo::platform::widgets::BuildMenuBar;
using kavelo::resources::MainMenu;

namespace {

namespace fs = std::filesystem;

const QString kKavelo = QStringLiteral(KAVELO_BINARY_DIR "/shell/kavelo");

// The program's environment. A sanitizer build gets Mesa's driver preloaded, after the sanitizer's
// runtime, which must come first: a preloaded library stays loaded at exit, and the leak check then
// reports the program's own leaks, not what the driver keeps.
QProcessEnvironment ProgramEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#if defined(__SANITIZE_ADDRESS__)
    Dl_info runtime{};
    if (dladdr(reinterpret_cast<void*>(&__asan_address_is_poisoned), &runtime) != 0) {
        environment.insert(QStringLiteral("LD_PRELOAD"),
                           QString::fromLocal8Bit(runtime.dli_fname) + ':' +
                               QString::fromLatin1(kavelo::test::kMesaDriver));
    }
#endif
    return environment;
}

// The environment of the program started through others (a script, xvfb-run): no preload, which
// would reach them too, and so no leak check.
QProcessEnvironment WrappedEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    return environment;
}

// Runs a tool and gives its output, trimmed.
QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    tool.waitForFinished(20000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QString XDoTool(const QStringList& arguments) {
    return RunTool(QStringLiteral("xdotool"), arguments);
}

// The id of the first window with exactly this name, 0 while there is none.
WId FindWindow(const QString& name) {
    const QString ids = XDoTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), QStringLiteral("^%1$").arg(name)});
    return ids.isEmpty() ? 0 : ids.split('\n').first().toULongLong();
}

WId WaitForWindow(const QString& name) {
    WId id = 0;
    static_cast<void>(QTest::qWaitFor([&] { return (id = FindWindow(name)) != 0; }, 20000));
    return id;
}

// The program takes its events in the order they were sent, so each key needs no wait of its own;
// the callers wait for what the keys show.
void Keys(WId window, const QString& keys) {
    for (const QString& key : keys.split(u' ')) {
        XDoTool({QStringLiteral("key"), QStringLiteral("--window"), QString::number(window), key});
    }
}

QImage Grab(WId window) {
    return QGuiApplication::primaryScreen()->grabWindow(window).toImage();
}

// The status bar's strip, which an open menu changes.
QImage Pane(WId window) {
    const QImage shot = Grab(window);
    return shot.copy(0, shot.height() - 12, shot.width(), 12);
}

// The panel at the frame's left edge, whose fields change with every step.
QImage Panel(WId window) {
    const QImage shot = Grab(window);
    return shot.copy(0, 0, shot.width() / 5, shot.height() * 2 / 3);
}

// The colour in the middle of the view.
QColor Middle(WId window) {
    const QImage shot = Grab(window);
    return shot.pixelColor(shot.width() * 2 / 3, shot.height() / 2);
}

// Gives the window the keyboard, opens the File menu and waits until it shows, then presses `key`
// in it.
void FileMenu(WId window, const char* key) {
    XDoTool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
    const QImage ready = Pane(window);
    Keys(window, QStringLiteral("alt+f"));
    static_cast<void>(QTest::qWaitFor([&] { return Pane(window) != ready; }, 3000));
    XDoTool({QStringLiteral("key"), QString::fromLatin1(key)});
}

// Where a panel control lies in the frame: the panel takes the left edge under the menu bar.
QRect ControlInFrame(unsigned id) {
    CControlPanel panel;
    QMenuBar bar;
    BuildMenuBar(&bar, MainMenu(), {});
    return panel.Controls()
        .Item(static_cast<int>(id))
        ->geometry()
        .translated(0, bar.sizeHint().height());
}

class Program : public kavelo::test::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        std::ofstream(m_dir / "input.txt")
            << "P (0 0 1) { -4 -4 0 1  4 -4 0 1  4 4 0 1  -4 4 0 1 }\n";
        std::ofstream(m_dir / "other.txt") << "no items here\n";
        m_process.setWorkingDirectory(QString::fromStdString(m_dir.string()));
        m_process.setProcessEnvironment(ProgramEnvironment());
    }
    void TearDown() override {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        TempDirTest::TearDown();
    }

    // Starts the program and gives its window the keyboard; 0 when no window appeared.
    WId StartWithFocus(const QStringList& arguments = {}) {
        m_process.start(kKavelo, arguments);
        if (!m_process.waitForStarted(10000)) {
            return 0;
        }
        const WId window = WaitForWindow(QStringLiteral("Scene from input.txt - Kavelo"));
        if (window != 0) {
            XDoTool(
                {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
            // Shown in full: the square of input.txt is in the first frame.
            static_cast<void>(QTest::qWaitFor([&] { return Middle(window).red() > 40; }, 5000));
        }
        return window;
    }

    QProcess m_process;
};

TEST_F(Program, ShowsTheSceneOfInputTxtWhateverTheArgumentsAndExitsFromTheMenu) {
    m_process.start(kKavelo, {QStringLiteral("other.txt")});
    ASSERT_TRUE(m_process.waitForStarted(10000));
    const WId window = WaitForWindow(QStringLiteral("Scene from input.txt - Kavelo"));
    ASSERT_NE(window, 0u) << "no window captioned \"Scene from input.txt - Kavelo\"";

    // The square fills the middle of the view in the scene's colour once the first frame is
    // shown; the view's lower corner, just above the status bar, is black.
    QImage shot;
    const auto middleOf = [&shot] {
        return shot.pixelColor(shot.width() * 2 / 3, shot.height() / 2);
    };
    static_cast<void>(QTest::qWaitFor(  // the checks below tell what was wrong
        [&] {
            shot = Grab(window);
            return !shot.isNull() && middleOf().red() > 40;
        },
        5000));
    ASSERT_FALSE(shot.isNull());
    const QColor middle = middleOf();
    EXPECT_GT(middle.red(), 40) << middle.name().toStdString();
    EXPECT_GT(middle.red(), 3 * middle.green()) << middle.name().toStdString();
    const QColor corner = shot.pixelColor(shot.width() - 4, shot.height() - 40);
    EXPECT_EQ(corner, QColor(Qt::black)) << corner.name().toStdString();

    // File > Exit, by the keyboard.
    FileMenu(window, "x");
    ASSERT_TRUE(m_process.waitForFinished(10000)) << "still running after File > Exit";
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_process.exitCode(), 0);
}

// Under a limit on address space of 512 MiB, where the driver used to crash the viewer after a
// reading stopped short, and where thread stacks, the reading's leftovers and the scene's last
// block once left too little for even the coarsest list of 10,000 curves, large scenes are read,
// compiled and drawn, and File > Exit still ends the viewer.
TEST_F(Program, LargeScenesUnderAnAddressSpaceLimitAreDrawnAndEndWithoutASignal) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not start under a memory limit";
#endif
    const std::string curve = "C { -1 0 0 1  -1 2 0 1  1 2 0 1  1 0 0 1 }\n";
    std::string patch = "S {";
    for (int k = 0; k < 16; ++k) {
        patch += " " + std::to_string(k / 4 * 0.6 - 0.9) + " " + std::to_string(k % 4 * 0.6 - 0.9) +
                 (k == 5 ? " 0.5 1" : " 0 1");
    }
    const std::pair<std::string, int> scenes[] = {
        {curve, 10000}, {curve, 100000}, {patch + " }\n", 100000}};
    for (const auto& [item, count] : scenes) {
        {
            std::ofstream out(m_dir / "input.txt");
            for (int i = 0; i < count; ++i) {
                out << item;
            }
        }
        m_process.start(QStringLiteral("bash"),
                        {QStringLiteral("-c"), "ulimit -v 524288; exec '" + kKavelo + "'"});
        const WId window = WaitForWindow(QStringLiteral("Scene from input.txt - Kavelo"));
        ASSERT_NE(window, 0u) << m_process.readAllStandardError().toStdString();
        FileMenu(window, "x");  // taken once the reading, the compile and the frame are done
        ASSERT_TRUE(m_process.waitForFinished(60000)) << item;
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit) << item;
        EXPECT_EQ(m_process.exitCode(), 0) << item;
        const std::string said = m_process.readAllStandardError().toStdString();
        EXPECT_EQ(said.find("none drawn"), std::string::npos) << count << " " << item << said;
    }
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
    EXPECT_TRUE(m_process.readAllStandardError().contains("kavelo: no OpenGL context: the xcb"));
}

// Under a limit on address space too tight for a context, where Mesa crashed when asked for one,
// the viewer says so on stderr and, its box closed, fails without a signal.
TEST_F(Program, TooLittleMemoryForAContextGivesAMessageAndNoSignal) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not start under a memory limit";
#endif
    m_process.start(QStringLiteral("bash"),
                    {QStringLiteral("-c"), "ulimit -v 307200; exec '" + kKavelo + "'"});
    ASSERT_NE(WaitForWindow(QStringLiteral("Kavelo")), 0u) << "no message box captioned \"Kavelo\"";
    m_process.terminate();  // closes the box as its button would
    ASSERT_TRUE(m_process.waitForFinished(10000));
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_process.exitCode(), 1);
    EXPECT_TRUE(m_process.readAllStandardError().contains(
        "kavelo: no OpenGL context: not enough memory for one: "));
}

// A window another client destroys ends the program as its close box would.
TEST_F(Program, AWindowDestroyedByAnotherClientEndsTheProgramWithStatusZero) {
    const WId window = StartWithFocus();
    ASSERT_NE(window, 0u);
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(other), 0);
    xcb_destroy_window(other, static_cast<xcb_window_t>(window));
    std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));  // done
    xcb_disconnect(other);
    ASSERT_TRUE(m_process.waitForFinished(10000)) << "still running without its window";
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_process.exitCode(), 0);
}

// scripts/run.sh on a scene of another name: Restart after an edit of that file shows the edit,
// and the folder through which the viewer reads it is gone when the viewer is.
TEST_F(Program, RunScriptShowsEachEditOfTheNamedSceneOnRestart) {
    const fs::path scene = m_dir / "scene.txt";
    std::ofstream(scene) << "P (0 0 1) { -4 -4 0 1  4 -4 0 1  4 4 0 1  -4 4 0 1 }\n";
    const fs::path tmp = m_dir / "tmp";
    fs::create_directories(tmp);
    QProcessEnvironment environment = WrappedEnvironment();
    environment.insert(QStringLiteral("KAVELO_PREBUILT"), QStringLiteral(KAVELO_BINARY_DIR));
    environment.insert(QStringLiteral("TMPDIR"), QString::fromStdString(tmp.string()));
    m_process.setProcessEnvironment(environment);
    m_process.start(QStringLiteral("bash"), {QStringLiteral(KAVELO_SOURCE_DIR "/scripts/run.sh"),
                                             QString::fromStdString(scene.string())});
    const WId window = WaitForWindow(QStringLiteral("Scene from input.txt - Kavelo"));
    ASSERT_NE(window, 0u) << m_process.readAllStandardError().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Middle(window).red() > 40; }, 5000))
        << "the square before the edit";

    std::ofstream(scene) << "no items now\n";
    FileMenu(window, "r");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Middle(window) == QColor(Qt::black); }, 5000))
        << "the edit after Restart";

    FileMenu(window, "x");
    ASSERT_TRUE(m_process.waitForFinished(10000)) << "still running after File > Exit";
    EXPECT_EQ(m_process.exitCode(), 0);
    EXPECT_TRUE(fs::is_empty(tmp)) << "run.sh left its folder behind";
    EXPECT_TRUE(fs::exists(scene));
}

TEST_F(Program, ClosingAMenuGivesTheKeysBackAndShowsReady) {
    const WId window = StartWithFocus();
    ASSERT_NE(window, 0u);
    const auto panel = [&] { return Panel(window); };
    const auto pane = [&] { return Pane(window); };
    const QImage ready = pane();
    Keys(window, QStringLiteral("alt+f"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane() != ready; }, 3000))
        << "an open menu leaves \"Ready\" in the pane";
    Keys(window, QStringLiteral("Escape"));
    // Closed with Esc, the menu leaves the keys with the key table; so does leaving the bar.
    for (const QString& closing :
         {QStringLiteral("alt+f Escape"), QStringLiteral("alt+f Escape Escape"),
          QStringLiteral("alt+c Escape"), QStringLiteral("alt Escape"), QStringLiteral("alt alt"),
          QStringLiteral("F10 Down Escape")}) {
        Keys(window, closing);
        const QImage before = panel();
        Keys(window, QStringLiteral("Right"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return panel() != before; }, 3000))
            << "Right after " << closing.toStdString() << " did not step the view";
        EXPECT_TRUE(QTest::qWaitFor([&] { return pane() == ready; }, 3000))
            << "no \"Ready\" after " << closing.toStdString();
    }
}

TEST_F(Program, OneClickIntoAFieldOfAnInactiveWindowFocusesIt) {
    const WId window = StartWithFocus();
    ASSERT_NE(window, 0u);
    const QImage empty = Panel(window);
    Keys(window, QStringLiteral("Right"));  // fills the fields: shift X "0.010000"
    ASSERT_TRUE(QTest::qWaitFor([&] { return Panel(window) != empty; }, 3000));
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.resize(50, 50);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QTest::qWait(1000);  // the toolkit takes a moment to believe a window has lost the focus

    // One click at the start of the shift field, and a digit typed: "90.010000".
    const QRect field = ControlInFrame(IDC_SHIFT_X);
    XDoTool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
             QString::number(field.left() + 3), QString::number(field.center().y()),
             QStringLiteral("click"), QStringLiteral("1")});
    // Typed keys go where the X server has the focus: to the program once the click gave it.
    static_cast<void>(QTest::qWaitFor(
        [&] { return XDoTool({QStringLiteral("getwindowfocus")}) == QString::number(window); },
        3000));
    XDoTool({QStringLiteral("type"), QStringLiteral("9")});
    const QRect update = ControlInFrame(IDC_UPDATE);
    XDoTool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
             QString::number(update.center().x()), QString::number(update.center().y()),
             QStringLiteral("click"), QStringLiteral("1")});
    // Shifted by 90, the square has left the middle of the view.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Middle(window) == QColor(Qt::black); }, 3000));
}

// Where the window's client area lies on the screen, as the X server tells.
QRect ClientOnScreen(WId window) {
    const QString info =
        RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    const auto field = [&info](const char* name) {
        const QRegularExpression value(QString::fromLatin1(name) + QStringLiteral(":\\s*(-?\\d+)"));
        return value.match(info).captured(1).toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
            field("Height")};
}

// At 1.5 and twice the scale on a 1280x1024 screen, under a window manager whose frame the first
// size cannot know of, the window opens within the screen, its status bar included.
TEST_F(Program, TheFirstSizeFitsTheScreenWithTheFrameAtEveryScale) {
    QProcess manager;
    manager.start(QStringLiteral("openbox"), {});
    ASSERT_TRUE(manager.waitForStarted(10000)) << "openbox (scripts/install-deps.sh --test)";
    ASSERT_TRUE(QTest::qWaitFor(
        [] {
            return RunTool(QStringLiteral("xprop"),
                           {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .contains(QStringLiteral("window id"));
        },
        10000));
    const QRect screen(QPoint(0, 0), QGuiApplication::primaryScreen()->size());
    for (const char* scale : {"1.5", "2"}) {
        QProcessEnvironment environment = m_process.processEnvironment();
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
        m_process.setProcessEnvironment(environment);
        const WId window = StartWithFocus();
        ASSERT_NE(window, 0u) << scale;
        EXPECT_TRUE(QTest::qWaitFor([&] { return screen.contains(ClientOnScreen(window)); }, 5000))
            << "at " << scale << ": " << ClientOnScreen(window).bottom();
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    manager.kill();
    manager.waitForFinished(5000);
}

// Nothing of the command line reaches the toolkit: neither its options nor a platform choice.
// The warnings go nowhere, not into the display's connection, which would take descriptor 2.
TEST_F(Program, StartsWithStandardErrorClosed) {
    std::ofstream(m_dir / "input.txt", std::ios::app) << "C {1 2 3 4}\n";
    m_process.setChildProcessModifier([] { ::close(STDERR_FILENO); });
    EXPECT_NE(StartWithFocus(), 0U);
}

TEST_F(Program, ToolkitOptionsOnTheCommandLineAreIgnored) {
    const WId window = StartWithFocus({QStringLiteral("-qwindowtitle"), QStringLiteral("Hello"),
                                       QStringLiteral("-platform"), QStringLiteral("offscreen")});
    ASSERT_NE(window, 0u) << "no window captioned \"Scene from input.txt - Kavelo\"";
    EXPECT_EQ(m_process.state(), QProcess::Running);
}

// Where nothing can be shown, the program says so on one line and fails.
TEST_F(Program, NoDisplayOrNoScreenGivesOneLineAndStatusOne) {
    struct Case {
        const char* name;
        const char* value;  // null: unset
        const char* expected;
    };
    const Case cases[] = {
        {"DISPLAY", nullptr, "kavelo: no display (DISPLAY is not set); kavelo-render draws"},
        {"DISPLAY", ":97", "kavelo: cannot open display \":97\"; kavelo-render draws"},
        {"QT_QPA_PLATFORM", "offscreen", "Kavelo: Failed to create empty document."},
    };
    for (const Case& c : cases) {
        QProcess process;
        process.setWorkingDirectory(QString::fromStdString(m_dir.string()));
        QProcessEnvironment environment = m_process.processEnvironment();
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (c.value != nullptr) {
            environment.insert(QString::fromLatin1(c.name), QString::fromLatin1(c.value));
        } else {
            environment.remove(QString::fromLatin1(c.name));
        }
        process.setProcessEnvironment(environment);
        process.start(kKavelo, {});
        ASSERT_TRUE(process.waitForFinished(20000)) << c.name;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << c.name;
        EXPECT_EQ(process.exitCode(), 1) << c.name;
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(err.contains(QString::fromLatin1(c.expected))) << err.toStdString();
    }
}

// At 256 colours the toolkit paints its widgets black: the failure goes to stderr instead.
TEST_F(Program, AtEightBitsTheFailureIsPrintedNotShownBlack) {
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(m_dir.string()));
    process.setProcessEnvironment(WrappedEnvironment());
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A box nobody can read would wait for good: `timeout` ends it.
    process.start(
        QStringLiteral("xvfb-run"),
        {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 640x480x8"),
         QStringLiteral("timeout"), QStringLiteral("20"), kKavelo});
    ASSERT_TRUE(process.waitForFinished(40000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAll())
                    .contains(QStringLiteral("Kavelo: Failed to create empty document.")));
}

}  // namespace
