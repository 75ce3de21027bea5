// Long work in the viewer: input made meanwhile waits, Esc stops it, a close ends it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include "platform/framework/long_work.h"
#include "shell/main_frame.h"
#include "shell/resources/resource_ids.h"
#include "shell/scene_app.h"
#include "view/scene_view.h"

using kavelo::platform::framework::LongWork;
namespace fs = std::filesystem;

namespace {

// Thousands of patches, compiled once the window shows; or ten polygons before megabytes of
// notes, read once it shows.
void Write(bool large) {
    std::ofstream out("input.txt");
    for (int i = 0; i < (large ? 10 : 3000); ++i) {
        out << (large ? "P (0 0 1) {" : "S {");
        for (int k = 0; k < (large ? 3 : 16); ++k) {
            out << ' ' << i % 50 * 0.1 + k / 4 * 0.03 << ' ' << i / 50 * 0.1 + k % 4 * 0.03
                << " 0 1";
        }
        out << " }\n";
    }
    out << std::string(large ? 9 << 20 : 0, 'n');
}

// Every progress point lets the window system in; `inside` runs at the work's first word.
class LongWorkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LongWork::SetPace(std::chrono::milliseconds(0), std::chrono::milliseconds(0));
        fs::create_directories(m_dir);
        fs::current_path(m_dir);
    }
    void TearDown() override {
        m_app.reset();
        LongWork::SetPace(std::chrono::milliseconds(500), std::chrono::milliseconds(50));
        fs::current_path(m_previous);
        fs::remove_all(m_dir);
    }
    void Run(bool large, const std::function<void(QWindow*)>& inside) {
        Write(large);
        m_app.reset();
        m_app = std::make_unique<CSceneApp>();
        m_app->InitInstance();
        m_frame = m_app->GetMainWnd();
        m_frame->activateWindow();  // a menu's keys need an active window
        m_view = m_frame->GetActiveView();
        bool said = false;
        bool readyTooSoon = Pane() == "Ready";  // "Ready" only once no work is pending
        const QMetaObject::Connection word =
            QObject::connect(m_view, &CSceneView::workProgress, m_view, [&](const QString& text) {
                readyTooSoon |= m_view->WorkPending() && Pane() == "Ready";
                if (!text.isEmpty() && !std::exchange(said, true)) {
                    inside(m_frame->windowHandle());
                }
            });
        EXPECT_TRUE(QTest::qWaitFor([this] { return !m_view->WorkPending(); }, 120000));
        QObject::disconnect(word);
        EXPECT_FALSE(readyTooSoon);
    }
    std::string Pane() { return m_frame->StatusBar().Text().toStdString(); }

    fs::path m_previous = fs::current_path();
    fs::path m_dir = fs::temp_directory_path() / ("kavelo-work-" + std::to_string(::getpid()));
    std::unique_ptr<CSceneApp> m_app;
    CMainFrame* m_frame = nullptr;
    CSceneView* m_view = nullptr;
};

TEST_F(LongWorkTest, InputMadeDuringTheWorkIsAppliedAfterItInTheOrderMade) {
    double shiftDuring = -1;
    QLineEdit* field = nullptr;
    Run(false, [&](QWindow* window) {
        field = qobject_cast<QLineEdit*>(m_frame->GetControlPanel()->Controls().Item(IDC_SHIFT_X));
        QTest::keyClick(window, Qt::Key_Right);  // a step, whose refresh would erase typing
        QTest::mouseClick(window, Qt::LeftButton, {}, field->mapTo(m_frame, QPoint(4, 4)));
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        for (const Qt::Key key : {Qt::Key_1, Qt::Key_2}) {
            QTest::keyClick(window, key);
        }
        shiftDuring = m_view->m_dShiftX;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->text() == "12"; }, 5000));
    EXPECT_EQ(shiftDuring, 0.0);
    EXPECT_EQ(m_view->m_dShiftX, m_view->m_dShiftStep);
}

TEST_F(LongWorkTest, EscStopsTheWorkKeepingWhatItDidAndRestartWorksAfter) {
    const std::pair<bool, const char*> cases[] = {
        {false, "^Stopped: [0-9]{2,3} of 3,000 items drawn$"},
        {true, "^Stopped: 10 of 10 items drawn$"},  // a stopped reading: its polygons
    };
    for (const auto& [large, stopped] : cases) {
        Run(large, [](QWindow* window) { QTest::keyClick(window, Qt::Key_Escape); });
        EXPECT_TRUE(QRegularExpression(stopped).match(QString::fromStdString(Pane())).hasMatch())
            << Pane();
        m_frame->RouteCommand(ID_FILE_RESTART);
        EXPECT_EQ(Pane(), "Ready");
    }
}

TEST_F(LongWorkTest, ACloseEndsTheWorkSayingNothingAndDropsTheInputMadeMeanwhile) {
    ::testing::internal::CaptureStderr();
    Run(true, [&](QWindow* window) {
        QTest::keyClick(window, Qt::Key_Right);
        m_frame->close();  // as the window manager's delete request does
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(m_view->m_dShiftX, 0.0);
}

TEST_F(LongWorkTest, MenuKeysTypedDuringTheStartUpWorkAreKeptAndExitActsAtOnce) {
    for (const Qt::Key item : {Qt::Key_R, Qt::Key_X}) {
        std::optional<QSignalSpy> reads;
        Run(false, [&](QWindow* window) {
            reads.emplace(m_view, &CSceneView::sceneRead);
            QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);
            QTest::keyClick(window, item);
            // Exit ends the work at once; Restart waits for it.
            EXPECT_EQ(reads->isEmpty() && m_frame->isVisible(), item == Qt::Key_R);
        });
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return item == Qt::Key_R ? reads->count() == 1 : !m_frame->isVisible(); },
            60000));
    }
}

}  // namespace
