// The whole viewer in this process: real windows, real key events, real frames.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <unistd.h>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <map>

#include "render/scene_compiler.h"
#include "shell/main_frame.h"
#include "shell/resources/resource_ids.h"
#include "shell/scene_app.h"
#include "view/scene_view.h"

using kavelo::scene::CountItems;

namespace {

namespace fs = std::filesystem;

const char kScene[] =
    "A big square facing the viewer, a curve and a patch.\n"
    "P (0 0 1) { -4 -4 0 1  4 -4 0 1  4 4 0 1  -4 4 0 1 }\n"
    "C { 0 0 0 1  1 1 0 1  2 -1 0 1  3 0 0 1 }\n"
    "S {\n"
    " 0 0 0 1 1 0 0 1 2 0 0 1 3 0 0 1\n"
    " 0 1 0 1 1 1 0 1 2 1 0 1 3 1 0 1\n"
    " 0 2 0 1 1 2 0 1 2 2 0 1 3 2 0 1\n"
    " 0 3 0 1 1 3 0 1 2 3 0 1 3 3 0 1\n"
    "}\n";

// Waits, handling events, until `condition` holds; false after five seconds.
template <class Condition>
bool WaitFor(Condition condition) {
    return QTest::qWaitFor(condition, 5000);
}

class Viewer : public ::testing::Test {
  protected:
    void SetUp() override { Start(kScene); }
    void TearDown() override { Stop(); }

    void Start(const char* scene) {
        m_previous = fs::current_path();
        m_dir = fs::temp_directory_path() /
                ("kavelo-gui-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::current_path(m_dir);
        if (scene != nullptr) {
            WriteScene(scene);
        }
        m_app = std::make_unique<CSceneApp>();
        m_app->InitInstance();
        m_frame = m_app->GetMainWnd();
        ASSERT_NE(m_frame, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame));
        m_frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame));
        m_view = m_frame->GetActiveView();
        ASSERT_NE(m_view, nullptr);
        ASSERT_TRUE(WaitFor([&] { return m_view->FramesDrawn() > 0; }));
    }

    void Stop() {
        if (m_app) {
            m_app->ExitInstance();
            m_app.reset();
        }
        fs::current_path(m_previous);
        fs::remove_all(m_dir);
    }

    void WriteScene(const std::string& text) { std::ofstream(m_dir / "input.txt") << text; }

    QLineEdit* Field(unsigned id) {
        return qobject_cast<QLineEdit*>(
            m_frame->GetControlPanel()->Controls().Item(static_cast<int>(id)));
    }

    std::vector<std::string> PanelTexts() {
        std::vector<std::string> texts;
        for (unsigned id : {IDC_SHIFT_X, IDC_SHIFT_Y, IDC_ANGLE_X, IDC_ANGLE_Y, IDC_ANGLE_Z,
                            IDC_STRETCH_X, IDC_STRETCH_Y, IDC_EXTENT}) {
            texts.push_back(Field(id)->text().toStdString());
        }
        return texts;
    }

    QAction* MenuAction(unsigned id) {
        for (QAction* action : m_frame->MenuBar()->findChildren<QAction*>()) {
            if (action->data().toUInt() == id && !action->menu()) {
                return action;
            }
        }
        return nullptr;
    }

    fs::path m_previous;
    fs::path m_dir;
    std::unique_ptr<CSceneApp> m_app;
    CMainFrame* m_frame = nullptr;
    CSceneView* m_view = nullptr;
};

const std::vector<std::string> kDefaults = {"0.000000", "0.000000", "230",      "5",
                                            "57",       "0.500000", "0.500000", "0.000000"};

TEST_F(Viewer, CaptionAndStartUpState) {
    EXPECT_EQ(m_frame->windowTitle().toStdString(), "Scene from input.txt - Kavelo");
    // The panel shows nothing until the first command.
    for (const std::string& text : PanelTexts()) {
        EXPECT_EQ(text, "");
    }
    EXPECT_EQ(m_frame->StatusBar().Text().toStdString(), "Ready");
    EXPECT_EQ(CountItems(m_view->m_pPolygons.get()), 1u);
    EXPECT_EQ(CountItems(m_view->m_pCurves.get()), 1u);
    EXPECT_EQ(CountItems(m_view->m_pSurfaces.get()), 1u);
    EXPECT_EQ(m_view->m_dAngleX, 230.0);
    EXPECT_NE(m_view->m_pPanel, nullptr);
    EXPECT_EQ(m_view->m_pPalette, nullptr);  // true colour: no palette
}

TEST_F(Viewer, RightArrowStepsAndRefreshesThePanel) {
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Right);
    EXPECT_EQ(PanelTexts(), (std::vector<std::string>{"0.010000", "0.000000", "230", "5", "57",
                                                      "0.500000", "0.500000", "0.000000"}));
    // A modifier the key table does not list issues nothing.
    QTest::keyClick(m_view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(m_view, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(m_view->m_dShiftX, 0.01);
    QTest::keyClick(m_view, Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(m_view->m_dAngleZ, 58.0);
    EXPECT_EQ(m_view->m_dAngleY, 5.0);
    // Only the keypad's plus zooms.
    QTest::keyClick(m_view, Qt::Key_Plus);
    EXPECT_EQ(m_view->m_dStretchX, 0.5);
    QTest::keyClick(m_view, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_DOUBLE_EQ(m_view->m_dStretchX, 0.55);
    QTest::keyClick(m_view, Qt::Key_PageDown);
    EXPECT_EQ(Field(IDC_EXTENT)->text().toStdString(), "-0.100000");
}

TEST_F(Viewer, KeysActInAPanelFieldAndNeverReachIt) {
    QLineEdit* shiftX = Field(IDC_SHIFT_X);
    shiftX->setFocus();
    QTest::keyClicks(shiftX, "12");
    EXPECT_EQ(shiftX->text().toStdString(), "12");
    int keysSeen = 0;
    struct Counter : QObject {
        int* seen;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress) {
                ++*seen;
            }
            return false;
        }
    } counter;
    counter.seen = &keysSeen;
    shiftX->installEventFilter(&counter);
    QTest::keyClick(shiftX, Qt::Key_Left);
    shiftX->removeEventFilter(&counter);
    EXPECT_EQ(keysSeen, 0);
    // The step discarded the typed "12" and rewrote every field.
    EXPECT_EQ(m_view->m_dShiftX, -0.01);
    EXPECT_EQ(shiftX->text().toStdString(), "-0.010000");
    EXPECT_TRUE(shiftX->hasFocus());
}

TEST_F(Viewer, DigitsOnlyFieldsRefuseSignsAndPoints) {
    QLineEdit* stretchY = Field(IDC_STRETCH_Y);
    stretchY->setFocus();
    QTest::keyClicks(stretchY, "-1.5");
    EXPECT_EQ(stretchY->text().toStdString(), "15");
    QLineEdit* stretchX = Field(IDC_STRETCH_X);
    stretchX->setFocus();
    QTest::keyClicks(stretchX, "-1.5e1x");
    EXPECT_EQ(stretchX->text().toStdString(), "-1.5e1x");
}

TEST_F(Viewer, UpdateAppliesTypedValuesAndEmptyFieldsGiveZero) {
    auto* update = qobject_cast<QPushButton*>(
        m_frame->GetControlPanel()->Controls().Item(static_cast<int>(IDC_UPDATE)));
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(update->isEnabled());
    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_EQ(m_view->m_dShiftX, 0.0);
    EXPECT_EQ(m_view->m_dAngleX, 0.0);
    EXPECT_EQ(m_view->m_dStretchX, 0.0);
    EXPECT_EQ(m_view->m_dStretchZ, 0.5);
    EXPECT_EQ(PanelTexts(), (std::vector<std::string>{"0.000000", "0.000000", "0", "0", "0",
                                                      "0.000000", "0.000000", "0.000000"}));
    Field(IDC_STRETCH_X)->setText("1.5e1xyz");
    Field(IDC_ANGLE_Y)->setText("1000");
    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_EQ(m_view->m_dStretchX, 15.0);
    EXPECT_EQ(Field(IDC_STRETCH_X)->text().toStdString(), "15.000000");
    EXPECT_EQ(m_view->m_dAngleY, 1000.0);
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Field(IDC_ANGLE_Y)->text().toStdString(), "641");
    // The hidden buttons can never be clicked.
    QWidget* centre = m_frame->GetControlPanel()->Controls().Item(static_cast<int>(IDC_CENTRE));
    ASSERT_NE(centre, nullptr);
    EXPECT_FALSE(centre->isVisible());
}

TEST_F(Viewer, RepaintRunsBeforeThePanelRefresh) {
    std::vector<int> framesAtWrite;
    QObject::connect(Field(IDC_SHIFT_X), &QLineEdit::textChanged,
                     [&] { framesAtWrite.push_back(m_view->FramesDrawn()); });
    const int before = m_view->FramesDrawn();
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Up);
    ASSERT_EQ(framesAtWrite.size(), 1u);
    EXPECT_EQ(framesAtWrite[0], before + 1);
}

TEST_F(Viewer, PanelTextsIgnoreTheLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Right);
    EXPECT_EQ(Field(IDC_SHIFT_X)->text().toStdString(), "0.010000");
    Field(IDC_STRETCH_X)->setText("2.5");
    m_frame->RouteCommand(IDC_UPDATE);
    EXPECT_EQ(m_view->m_dStretchX, 2.5);
    std::setlocale(LC_ALL, "C");
}

TEST_F(Viewer, StatusBarToggleGivesTheStripToTheView) {
    const int heightBefore = m_view->height();
    const int frames = m_view->FramesDrawn();
    QAction* toggle = MenuAction(ID_VIEW_STATUS_BAR);
    ASSERT_NE(toggle, nullptr);
    toggle->trigger();
    EXPECT_TRUE(m_frame->StatusBar().isHidden());
    ASSERT_TRUE(WaitFor([&] { return m_view->height() > heightBefore; }));
    ASSERT_TRUE(WaitFor([&] { return m_view->FramesDrawn() > frames; }));
    EXPECT_EQ(m_frame->GetControlPanel()->height(),
              m_frame->height() - m_frame->MenuBar()->height());
    toggle->trigger();
    EXPECT_TRUE(WaitFor([&] { return m_view->height() == heightBefore; })) << m_view->height();
    EXPECT_FALSE(m_frame->StatusBar().isHidden());
}

TEST_F(Viewer, RestartReadsTheFileAgainAndResetsTheView) {
    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(m_view, Qt::Key_Left);
    WriteScene("P (0 0 1) {0 0 0 1 1 0 0 1 1 1 0 1} P (0 0 1) {0 0 0 1 1 1 0 1 0 1 0 1}");
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_EQ(CountItems(m_view->m_pPolygons.get()), 2u);
    EXPECT_EQ(CountItems(m_view->m_pCurves.get()), 0u);
    EXPECT_EQ(PanelTexts(), kDefaults);
    EXPECT_EQ(m_frame->StatusBar().IdleText().toStdString(), "Ready");
}

TEST_F(Viewer, RestartHoldsOneReadingsListsAtATime) {
    std::string curves;
    for (int i = 0; i < 1000; ++i) {
        curves += "C{0 0 0 1 1 1 0 1}\n";
    }
    WriteScene(curves);
    MenuAction(ID_FILE_RESTART)->trigger();
    ASSERT_EQ(CountItems(m_view->m_pCurves.get()), 1000u);
    // The records come from the view's arena, which grows only when two readings overlap.
    const std::size_t reserved = m_view->m_arena.ReservedBytes();
    ASSERT_GE(reserved, 1000 * sizeof(CurveNode));
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_EQ(CountItems(m_view->m_pCurves.get()), 1000u);
    EXPECT_EQ(m_view->m_arena.ReservedBytes(), reserved);
}

TEST_F(Viewer, BrokenOrMissingFileShowsItsDiagnosticAsIdleText) {
    WriteScene("C { 0 0 0 1 }\nC { 1 2 x }\n");
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_EQ(m_frame->StatusBar().IdleText().toStdString(),
              "input.txt:2:9: expected a number, found \"x\"");
    EXPECT_EQ(CountItems(m_view->m_pCurves.get()), 1u);  // what came before the fault is kept
    fs::remove(m_dir / "input.txt");
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_EQ(m_frame->StatusBar().IdleText().toStdString(),
              "input.txt: cannot open: No such file or directory (in " +
                  fs::current_path().string() + ")");
    EXPECT_EQ(CountItems(m_view->m_pCurves.get()), 0u);
    const QImage frame = m_view->grabFramebuffer();
    EXPECT_EQ(frame.pixelColor(frame.width() / 2, frame.height() / 2 + 40), QColor(Qt::black));
    WriteScene(kScene);
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_EQ(m_frame->StatusBar().IdleText().toStdString(), "Ready");
}

TEST_F(Viewer, MenuPromptsInTheMessagePane) {
    // Start with the pointer on the view, away from the panel's fly-by.
    QTest::mouseMove(m_view, m_view->rect().center());
    ASSERT_TRUE(WaitFor([&] { return m_view->underMouse(); }));
    QMenuBar* bar = m_frame->MenuBar();
    QAction* exitAction = MenuAction(ID_APP_EXIT);
    ASSERT_NE(exitAction, nullptr);
    QMenu* fileMenu = qobject_cast<QMenu*>(exitAction->parent());
    ASSERT_NE(fileMenu, nullptr);
    // Open "&File" with the mouse and rest on its entries.
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(fileMenu->menuAction()).center());
    ASSERT_TRUE(WaitFor([&] { return fileMenu->isVisible(); }));
    QTest::mouseMove(fileMenu, fileMenu->actionGeometry(exitAction).center());
    EXPECT_TRUE(WaitFor([&] {
        return m_frame->StatusBar().Text().toStdString() ==
               std::string("Quit the application; prompts to save documents");
    })) << m_frame->StatusBar().Text().toStdString();
    QTest::mouseMove(fileMenu, fileMenu->actionGeometry(MenuAction(ID_FILE_RESTART)).center());
    EXPECT_TRUE(WaitFor([&] {
        return m_frame->StatusBar().Text().toStdString() == std::string("");
    })) << m_frame->StatusBar().Text().toStdString();
    QTest::keyClick(fileMenu, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !fileMenu->isVisible(); }));
    EXPECT_TRUE(WaitFor([&] {
        return m_frame->StatusBar().Text().toStdString() == std::string("Ready");
    })) << m_frame->StatusBar().Text().toStdString();
    // The check mark of "&Status Bar" follows the bar.
    QAction* toggle = MenuAction(ID_VIEW_STATUS_BAR);
    QMenu* controlMenu = qobject_cast<QMenu*>(toggle->parent());
    ASSERT_NE(controlMenu, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(controlMenu->menuAction()).center());
    ASSERT_TRUE(WaitFor([&] { return controlMenu->isVisible(); }));
    EXPECT_TRUE(toggle->isChecked());
    QTest::mouseMove(controlMenu, controlMenu->actionGeometry(toggle).center());
    EXPECT_TRUE(WaitFor([&] {
        return m_frame->StatusBar().Text().toStdString() ==
               std::string("Show or hide the status bar");
    })) << m_frame->StatusBar().Text().toStdString();
    QTest::mouseClick(controlMenu, Qt::LeftButton, {},
                      controlMenu->actionGeometry(toggle).center());
    ASSERT_TRUE(WaitFor([&] { return m_frame->StatusBar().isHidden(); }));
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(controlMenu->menuAction()).center());
    ASSERT_TRUE(WaitFor([&] { return controlMenu->isVisible(); }));
    EXPECT_FALSE(toggle->isChecked());
    QTest::keyClick(controlMenu, Qt::Key_Escape);
}

TEST_F(Viewer, AboutBoxIsModalAndEscEndsIt) {
    bool sawBox = false;
    QString caption;
    QTimer::singleShot(0, [&] {
        sawBox = WaitFor([] { return QApplication::activeModalWidget() != nullptr; });
        QWidget* box = QApplication::activeModalWidget();
        if (box != nullptr) {
            caption = box->windowTitle();
            // The view's keys do not act inside the modal box.
            QTest::keyClick(box, Qt::Key_Right);
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    MenuAction(ID_APP_ABOUT)->trigger();  // returns when the box has ended
    EXPECT_TRUE(sawBox);
    EXPECT_EQ(caption.toStdString(), "About Kavelo");
    EXPECT_EQ(m_view->m_dShiftX, 0.0);
}

// Window managers that minimise a modal box whatever it asks take its owner along.
TEST_F(Viewer, AMinimisedAboutBoxComesBackWithTheFrame) {
    bool restored = false;
    QTimer::singleShot(0, [&] {
        static_cast<void>(WaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            return;
        }
        box->showMinimized();
        m_frame->showMinimized();
        restored = WaitFor([&] { return !box->isMinimized() && !m_frame->isMinimized(); });
        QTest::keyClick(box, Qt::Key_Escape);
    });
    MenuAction(ID_APP_ABOUT)->trigger();
    EXPECT_TRUE(restored);
}

TEST_F(Viewer, TheSceneIsDrawnInItsColourOnBlack) {
    const QImage frame = m_view->grabFramebuffer();
    ASSERT_FALSE(frame.isNull());
    // The big square covers the middle; the patch and the curve start at its very centre, so the
    // square is looked at above them. The corners below the banner stay black.
    // Lit from behind, the square shows the ambient part of the draw colour (1.0, 0.14, 0.6667).
    const QColor centre = frame.pixelColor(frame.width() / 2, frame.height() / 3);
    EXPECT_GT(centre.red(), 40);
    EXPECT_GT(centre.red(), 3 * centre.green());
    EXPECT_GT(centre.blue(), 2 * centre.green());
    EXPECT_EQ(frame.pixelColor(2, frame.height() - 3), QColor(Qt::black));
    // Two frames in a row are identical, banner and all.
    EXPECT_EQ(m_view->grabFramebuffer(), m_view->grabFramebuffer());
}

TEST_F(Viewer, PanelBorderLineOnItsRightAndSunkenEdgeAroundTheView) {
    const QImage shot = m_frame->grab().toImage();
    const QRect panel = m_frame->GetControlPanel()->geometry();
    const QRect view = m_view->geometry();
    const QColor background = m_frame->GetControlPanel()->palette().color(QPalette::Window);
    const int y = panel.bottom() - 10;  // below the controls
    EXPECT_EQ(shot.pixelColor(panel.right() - 6, y), background);
    EXPECT_NE(shot.pixelColor(panel.right() - 1, y), background);
    // The view's client area lies inside its edge, which is drawn between it and the panel.
    ASSERT_GT(view.left(), panel.right() + 1);
    EXPECT_NE(shot.pixelColor(view.left() - 1, view.center().y()), background);
    EXPECT_NE(shot.pixelColor(view.center().x(), view.top() - 1), background);
}

TEST_F(Viewer, ExitAndCloseEndWithoutPrompt) {
    MenuAction(ID_APP_EXIT)->trigger();
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Resident memory of this process, in bytes.
std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// A folder of the test's own as the current directory while it lives.
struct OwnFolder {
    fs::path previous = fs::current_path();
    fs::path dir = fs::temp_directory_path() / ("kavelo-gui-own-" + std::to_string(::getpid()));
    OwnFolder() {
        fs::create_directories(dir);
        fs::current_path(dir);
    }
    ~OwnFolder() {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
};

TEST(ViewerRestarts, ManyRestartsOfALargeSceneStayClean) {
    const OwnFolder folder;
    {
        std::ofstream out("input.txt");
        // A megabyte of mostly comment text: a scene written by hand, with notes on every item.
        const std::string note(200, 'n');
        for (int i = 0; out.tellp() < (1 << 20); ++i) {
            out << "P (0 0 1) { " << i % 7 << " 0 0 1  1 0 0 1  1 1 0 1 }  item " << i << ' '
                << note << "\n";
        }
    }
    {
        CSceneApp app;
        app.InitInstance();
        ASSERT_NE(app.GetMainWnd(), nullptr);
        CMainFrame* frame = app.GetMainWnd();
        // Hidden, the frame draws nothing: the 200 Restarts read and compile, which is what
        // this holds to account (the frames of a Restart are checked above).
        frame->hide();
        CSceneView* view = frame->GetActiveView();
        const std::size_t items = CountItems(view->m_pPolygons.get());
        for (int i = 0; i < 200; ++i) {
            view->OnFileRestart();
        }
        EXPECT_EQ(CountItems(view->m_pPolygons.get()), items);
        // The lists of each reading, about 1 MB here, are released when the next one replaces
        // them. (Mesa itself keeps a little of every display list it replaces, so the memory
        // check leaves the compile out; the sanitizer build checks the rest for leaks.)
        const std::size_t settled = ResidentBytes();
        for (int i = 0; i < 180; ++i) {
            view->ReadScene();
        }
#if !defined(__SANITIZE_ADDRESS__)  // its quarantine holds freed memory; its leak check rules
        EXPECT_LT(ResidentBytes(), settled + (4u << 20));
#else
        (void)settled;
#endif

        app.ExitInstance();
    }
}

TEST(ViewerStart, ALargeFileIsReadAndCompiledOnceTheWindowShowsInTheViewsOwnContext) {
    const OwnFolder folder;
    {
        std::ofstream out("input.txt");
        out << "P (0 0 1) { 0 0 0 1  1 0 0 1  1 1 0 1 }\n";
        for (int i = 0; i < 64; ++i) {  // enough patches for the compile to tell its progress
            out << "S {";
            for (int k = 0; k < 16; ++k) {
                out << ' ' << i % 8 - 4 + k / 4 * 0.3 << ' ' << i / 8 - 4 + k % 4 * 0.3 << ' '
                    << k % 3 * 0.2 << " 1";
            }
            out << " }\n";
        }
        for (const std::string note(200, 'n'); out.tellp() < (9 << 20);) {
            out << note << "\n";
        }
        out << "C { 0 0 0 1";  // cut short: the reading ends with a fault
    }
    {
        CSceneApp app;
        app.InitInstance();
        CSceneView* view = app.GetMainWnd()->GetActiveView();
        // Not read with the view: once the window's first frame is shown, saying so at once.
        EXPECT_TRUE(view->ScenePending());
        EXPECT_EQ(CountItems(view->m_pPolygons.get()), 0u);
        QSignalSpy progress(view, &CSceneView::workProgress);
        ASSERT_TRUE(QTest::qWaitFor([view] { return !view->ScenePending(); }, 60000));
        ASSERT_FALSE(progress.isEmpty());
        EXPECT_EQ(progress.front().front().toString(), "Reading input.txt: 0%");
        EXPECT_EQ(CountItems(view->m_pPolygons.get()), 1u);
        ASSERT_TRUE(view->SceneDiagnostic().has_value());
        EXPECT_EQ(app.GetMainWnd()->StatusBar().Text().toStdString(), *view->SceneDiagnostic());
        // Each word of progress repainted the status bar in the window's own context; the list
        // was still recorded in the view's, as a compile that shows nothing records it.
        const QImage shown = view->grabFramebuffer();
        view->makeCurrent();
        kavelo::render::CompileSceneList(
            {view->m_pPolygons.get(), view->m_pCurves.get(), view->m_pSurfaces.get()},
            kavelo::render::CurrentSampling());
        view->doneCurrent();
        EXPECT_TRUE(view->grabFramebuffer() == shown);
        app.ExitInstance();
    }
}

TEST_F(Viewer, ThousandsOfStepsKeepThePanelTextsCanonical) {
    // Hidden, the frame draws nothing: the 10,000 steps run the handlers and the panel's
    // exchange, whose texts are checked here (the frames of a step are checked above).
    m_frame->hide();
    for (int i = 0; i < 10000; ++i) {
        m_frame->RouteCommand(ID_MOVE_RIGHT + static_cast<unsigned>(i % 6));
    }
    for (unsigned id : {IDC_SHIFT_X, IDC_SHIFT_Y, IDC_STRETCH_X, IDC_STRETCH_Y, IDC_EXTENT}) {
        const std::string text = Field(id)->text().toStdString();
        EXPECT_EQ(text.size() - text.find('.'), 7u) << text;  // six decimals, always
    }
    // Moves right and left cancel out over each cycle of six; zooms in and out leave 0.5 or
    // its neighbours in the last place.
    EXPECT_EQ(Field(IDC_STRETCH_X)->text().toStdString(), "0.500000");
    EXPECT_EQ(Field(IDC_SHIFT_X)->text().toStdString(), "0.000000");
}

TEST_F(Viewer, FirstWarningIsTheIdleTextUnlessAFaultStopsTheReading) {
    WriteScene("P (0 0 1) {0 0 0 1 1 0 0 1}\nC {1 2 3 4}\n");
    ::testing::internal::CaptureStderr();
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "input.txt:1:1: warning: a polygon of 2 vertices covers no area: a polygon takes 3 "
              "or 4\ninput.txt:2:1: warning: a curve of 1 point draws nothing: a cubic curve "
              "takes 4\n");
    EXPECT_EQ(m_frame->StatusBar().IdleText().toStdString(),
              "input.txt:1:1: warning: a polygon of 2 vertices covers no area: a polygon takes 3 "
              "or 4 (1 of 2)");
    WriteScene("C {1 2 3 4}\nC {1 2 x}\n");
    ::testing::internal::CaptureStderr();
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "input.txt:1:1: warning: a curve of 1 point draws nothing: a cubic curve takes 4\n"
              "input.txt:2:8: expected a number, found \"x\"\n");
    EXPECT_EQ(m_frame->StatusBar().IdleText().toStdString(),
              "input.txt:2:8: expected a number, found \"x\"");
    // The first 20, then how many more, and where to see them all.
    std::string many;
    for (int line = 1; line <= 22; ++line) {
        many += "C {1 2 3 4}\n";
    }
    WriteScene(many);
    ::testing::internal::CaptureStderr();
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_TRUE(::testing::internal::GetCapturedStderr().ends_with(
        "input.txt:20:1: warning: a curve of 1 point draws nothing: a cubic curve takes 4\n... and "
        "2 more warnings: kavelo-render --check input.txt lists them all\n"));
    WriteScene(kScene);
    MenuAction(ID_FILE_RESTART)->trigger();
    EXPECT_EQ(m_frame->StatusBar().IdleText().toStdString(), "Ready");
}

// Mouse events as the window system delivers them to the view.
class ViewerMouse : public Viewer {
  protected:
    void SetUp() override {
        Viewer::SetUp();
        m_start = m_view->rect().center();
        // Every step changes the text of some field, so a field written twice within one move
        // tells of a second panel refresh.
        for (unsigned id : {IDC_SHIFT_X, IDC_SHIFT_Y, IDC_ANGLE_X, IDC_ANGLE_Y, IDC_STRETCH_X}) {
            QObject::connect(Field(id), &QLineEdit::textChanged, [this, id] { ++m_writes[id]; });
        }
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, at, m_view->mapToGlobal(QPointF(at)), button, held, modifiers);
        QApplication::sendEvent(m_view, &event);
    }
    void Wheel(int units) {
        const QPointF at(m_start);
        QWheelEvent event(at, m_view->mapToGlobal(at), QPoint(), QPoint(0, units), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_view, &event);
    }
    // Repaints of the view and refreshes of the panel since the last call, counted before the
    // event loop runs: a frame drawn while the last was still being composed is shown by a
    // later paint, which is not the command's.
    std::pair<int, int> Ends() {
        int refreshes = 0;
        for (auto& [id, writes] : m_writes) {
            refreshes = std::max(refreshes, writes);
        }
        // A frame the compositor held back is drawn once more by a later paint: frames beyond
        // the refreshes, one to each repaint, by at most one, are that paint's.
        const int frames = m_view->FramesDrawn() - m_frames;
        const std::pair<int, int> ends{frames == refreshes + 1 ? refreshes : frames, refreshes};
        QTest::qWait(50);
        m_frames = m_view->FramesDrawn();
        for (auto& [id, writes] : m_writes) {
            writes = 0;
        }
        return ends;
    }

    QPoint m_start;
    int m_frames = 0;
    std::map<unsigned, int> m_writes;
};

const std::pair<int, int> kOneEnding{1, 1};
const std::pair<int, int> kNoEnding{0, 0};

TEST_F(ViewerMouse, LeftDragTurnsAStepAPixelAndEndsOnceAMove) {
    // At the defaults the Z rotation's axis stands nearest the screen's vertical: a drag to the
    // right carries the near side right with Z steps down, and leaves Y alone.
    Mouse(QEvent::MouseButtonPress, m_start, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, m_start + QPoint(90, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m_view->m_dAngleZ, 57.0 - 90.0);
    EXPECT_EQ(m_view->m_dAngleY, 5.0);
    Mouse(QEvent::MouseButtonRelease, m_start, Qt::LeftButton, Qt::NoButton);
    // At an X angle of 180 the Y axis stands upright instead.
    m_view->m_dAngleX = 180.0;
    m_view->m_dAngleY = 358.0;
    Mouse(QEvent::MouseButtonPress, m_start, Qt::LeftButton, Qt::LeftButton);
    Ends();
    // Five pixels right are five Y steps up, each with the wrap rule: 359, 360, 1, 2, 3.
    Mouse(QEvent::MouseMove, m_start + QPoint(5, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m_view->m_dAngleY, 3.0);
    EXPECT_EQ(Ends(), kOneEnding);
    EXPECT_EQ(Field(IDC_ANGLE_Y)->text().toStdString(), "3");
    // Down turns the near side down: X steps down.
    Mouse(QEvent::MouseMove, m_start + QPoint(5, 3), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m_view->m_dAngleX, 177.0);
    EXPECT_EQ(Ends(), kOneEnding);
    // With the X angle at 0 the Y axis stands the other way up: right is a Y step down.
    m_view->m_dAngleX = 0.0;
    Mouse(QEvent::MouseMove, m_start + QPoint(7, 2), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(m_view->m_dAngleY, 1.0);
    EXPECT_EQ(m_view->m_dAngleX, 1.0);
    Mouse(QEvent::MouseButtonRelease, m_start + QPoint(7, 2), Qt::LeftButton, Qt::NoButton);
    Ends();
    Mouse(QEvent::MouseMove, m_start, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Ends(), kNoEnding);
    EXPECT_EQ(m_view->m_dAngleY, 1.0);
}

TEST_F(ViewerMouse, CtrlLeftAndRightDragsRollWithThePointerRoundTheCentre) {
    // At the defaults the Y axis lies nearest the line of sight, pointing towards the viewer:
    // a quarter turn counter-clockwise is 90 Y steps down, and the right button turns it back.
    const QPoint centre(m_view->width() / 2, m_view->height() / 2);
    Mouse(QEvent::MouseButtonPress, centre + QPoint(40, 0), Qt::LeftButton, Qt::LeftButton,
          Qt::ControlModifier);
    Mouse(QEvent::MouseMove, centre + QPoint(0, -40), Qt::NoButton, Qt::LeftButton,
          Qt::ControlModifier);
    EXPECT_EQ(m_view->m_dAngleY, 5.0 - 90.0);
    Mouse(QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);
    Mouse(QEvent::MouseButtonPress, centre + QPoint(0, -40), Qt::RightButton, Qt::RightButton);
    Mouse(QEvent::MouseMove, centre + QPoint(40, 0), Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(m_view->m_dAngleY, 5.0);
}

TEST_F(ViewerMouse, WheelZoomsANotchAt120Units) {
    Ends();
    Wheel(120);
    EXPECT_EQ(m_view->m_dStretchX, 0.5 * 1.1);
    EXPECT_EQ(Ends(), kOneEnding);
    Wheel(60);  // half a notch of a fine wheel: nothing yet
    EXPECT_EQ(Ends(), kNoEnding);
    Wheel(60);
    EXPECT_EQ(m_view->m_dStretchY, 0.5 * 1.1 * 1.1);
    Wheel(-360);
    EXPECT_EQ(m_view->m_dStretchZ, 0.5 * 1.1 * 1.1 / 1.1 / 1.1 / 1.1);
    EXPECT_EQ(Ends(), (std::pair{2, 2}));
}

TEST_F(ViewerMouse, ShiftLeftAndMiddleDragsPanByWholeMoveSteps) {
    // One move step is 0.01 of half the view, width / 200 pixels across.
    const int w = m_view->width();
    const int h = m_view->height();
    Mouse(QEvent::MouseButtonPress, m_start, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    Ends();
    const int x1 = 5 * w / 400;  // two and a half steps
    Mouse(QEvent::MouseMove, m_start + QPoint(x1, 0), Qt::NoButton, Qt::LeftButton,
          Qt::ShiftModifier);
    ASSERT_EQ(x1 * 200 / w, 2);
    EXPECT_EQ(m_view->m_dShiftX, 0.01 + 0.01);
    EXPECT_EQ(Ends(), kOneEnding);
    // The half step left over counts towards the next.
    const int x2 = 3 * w / 200 + 1;
    Mouse(QEvent::MouseMove, m_start + QPoint(x2, 0), Qt::NoButton, Qt::LeftButton,
          Qt::ShiftModifier);
    EXPECT_EQ(m_view->m_dShiftX, 0.01 + 0.01 + 0.01);
    EXPECT_EQ(m_view->m_dAngleY, 5.0) << "a pan turns nothing";
    Mouse(QEvent::MouseButtonRelease, m_start, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);

    Mouse(QEvent::MouseButtonPress, m_start, Qt::MiddleButton, Qt::MiddleButton);
    Ends();
    const int y = 3 * h / 200 + 1;  // down, three steps or a little more
    Mouse(QEvent::MouseMove, m_start + QPoint(0, y), Qt::NoButton, Qt::MiddleButton);
    double expected = 0.0;
    for (int i = 0; i < y * 200 / h; ++i) {
        expected -= 0.01;
    }
    EXPECT_EQ(m_view->m_dShiftY, expected);
    EXPECT_EQ(Ends(), kOneEnding);
}

TEST_F(ViewerMouse, ClickingIntoTheViewGivesItTheKeyboard) {
    Field(IDC_SHIFT_X)->setFocus();
    ASSERT_TRUE(WaitFor([&] { return Field(IDC_SHIFT_X)->hasFocus(); }));
    Mouse(QEvent::MouseButtonPress, m_start, Qt::RightButton, Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, m_start, Qt::RightButton, Qt::NoButton);
    EXPECT_TRUE(m_view->hasFocus());
}

// A lone Alt or F10 selects the menu bar; the keys then go to it, not to the key table, until Esc
// or a second Alt.
TEST_F(Viewer, LoneAltOrF10SelectsTheMenuBarAndEscOrAltLeavesIt) {
    QMenuBar* bar = m_frame->MenuBar();
    const auto lone = [](QWidget* widget, Qt::Key key) {
        QTest::keyClick(widget, key, key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier);
    };
    for (Qt::Key select : {Qt::Key_Alt, Qt::Key_F10}) {
        for (Qt::Key leave : {Qt::Key_Escape, Qt::Key_Alt}) {
            const double shift = m_view->m_dShiftX;
            const QRect file = bar->actionGeometry(bar->actions().front());
            const QImage unselected = bar->grab(file).toImage();
            lone(m_view, select);
            ASSERT_TRUE(WaitFor([&] { return bar->hasFocus(); }));
            EXPECT_EQ(bar->activeAction(), bar->actions().front());
            EXPECT_NE(bar->grab(file).toImage(), unselected) << "the selection is not seen";
            QTest::keyClick(bar, Qt::Key_Right);
            EXPECT_EQ(bar->activeAction(), bar->actions().at(1));
            EXPECT_EQ(m_view->m_dShiftX, shift) << "the key table took Right";
            lone(bar, leave);
            ASSERT_TRUE(WaitFor([&] { return m_view->hasFocus(); }));
            EXPECT_EQ(bar->activeAction(), nullptr);
            QTest::keyClick(m_view, Qt::Key_Right);
            EXPECT_EQ(m_view->m_dShiftX, shift + 0.01);
        }
    }
    lone(m_view, Qt::Key_Alt);
    QTest::keyClick(bar, Qt::Key_Down);
    EXPECT_TRUE(WaitFor(
        [&] { return QApplication::activePopupWidget() == bar->actions().front()->menu(); }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return m_view->hasFocus(); }));
}

TEST_F(Viewer, TheSmallestFrameKeepsTheUpdateButtonAndAViewOfAFewDozenPixels) {
    m_frame->resize(1, 1);
    ASSERT_TRUE(WaitFor([&] { return m_frame->height() < 640; }));
    const QWidget* update = m_frame->GetControlPanel()->Controls().Item(IDC_UPDATE);
    EXPECT_LE(update->mapTo(m_frame, QPoint(0, update->height())).y(), m_frame->height());
    EXPECT_GE(std::min(m_view->width(), m_view->height()), 32);
}

// The fly-by empties the pane over a field, not over a label: "Ready" comes back there. Tab in
// the view moves nothing.
TEST_F(Viewer, FlyByCoversFieldsNotLabelsAndTabStaysInTheView) {
    QTest::mouseMove(Field(IDC_SHIFT_X), QPoint(3, 3));
    ASSERT_TRUE(WaitFor([&] { return m_frame->StatusBar().Text().isEmpty(); }));
    QWidget* degrees = m_frame->GetControlPanel()->Controls().InOrder()[3];  // the "°" label
    QTest::mouseMove(degrees, QPoint(2, 2));
    EXPECT_TRUE(WaitFor([&] { return m_frame->StatusBar().Text() == QStringLiteral("Ready"); }));

    ASSERT_TRUE(m_view->hasFocus());
    QTest::keyClick(m_view, Qt::Key_Tab);
    EXPECT_TRUE(m_view->hasFocus());
}

// kavelo-render at the view's size draws the viewer's banner.
TEST_F(Viewer, KaveloRenderDrawsTheViewersBanner) {
    const QImage frame = m_view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    QProcess tool;
    tool.start(
        QStringLiteral(KAVELO_BINARY_DIR "/tools/kavelo-render"),
        {QStringLiteral("input.txt"), QStringLiteral("-o"), QStringLiteral("tool.png"),
         QStringLiteral("--size"), QStringLiteral("%1x%2").arg(frame.width()).arg(frame.height())});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QRect band(0, 0, frame.width(), 50);
    EXPECT_EQ(QImage(QStringLiteral("tool.png")).convertToFormat(QImage::Format_RGB32).copy(band),
              frame.copy(band));
}

}  // namespace
