// A held key or quick presses on a slow scene: steps queued behind a frame share the next one.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <utility>

#include "shell/main_frame.h"
#include "shell/resources/resource_ids.h"
#include "shell/scene_app.h"
#include "view/scene_view.h"

namespace {

namespace fs = std::filesystem;

TEST(HeldKey, QueuedStepsShareOneFrameAndEveryStepCounts) {
    const fs::path previous = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / ("kavelo-held-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
    std::ofstream(dir / "input.txt") << "P (0 0 1) { -1 -1 0 1  1 -1 0 1  1 1 0 1 }\n";
    {
        CSceneApp app;
        app.InitInstance();
        CMainFrame* frame = app.GetMainWnd();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        CSceneView* view = frame->GetActiveView();
        ASSERT_TRUE(QTest::qWaitFor([view] { return view->FramesDrawn() > 0; }));
        view->setFocus();
        auto* shiftX = qobject_cast<QLineEdit*>(
            frame->GetControlPanel()->Controls().Item(static_cast<int>(IDC_SHIFT_X)));

        // The window system's clock: each batch of keys is made at one moment, and all of it
        // waits in the queue at once. Repeats and separate presses alike: the first finishes at
        // once, the rest share one more (an expose of the window may add its own).
        QElapsedTimer clock;
        clock.start();
        const auto stamp = [&clock] { return static_cast<quint64>(clock.elapsed() + 1); };
        using Batch = std::pair<bool, const char*>;  // repeats or not, the shift after it
        for (const auto& [autoRepeat, text] : {Batch{true, "0.100000"}, Batch{false, "0.200000"}}) {
            const int before = view->FramesDrawn();
            const quint64 made = stamp();
            for (int i = 0; i < 10; ++i) {
                auto* key = new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier,
                                          QString(), autoRepeat);
                key->setTimestamp(made);
                QCoreApplication::postEvent(view, key);
            }
            ASSERT_TRUE(QTest::qWaitFor([&, text = text] { return shiftX->text() == text; }));
            EXPECT_LE(view->FramesDrawn() - before, 3) << autoRepeat;
        }

        // A press made while idle repaints and refreshes the panel before it returns, with one
        // frame, also when Qt holds the repaint back (as it does while the window's latest
        // composition is younger than a screen refresh): the frame drawn at once is the one the
        // held-back paint shows. The two clocks agree to a millisecond or two, so the press is
        // stamped well after the last finish.
        const int idle = view->FramesDrawn();
        view->setUpdatesEnabled(false);
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        left.setTimestamp(stamp() + 1000);
        QCoreApplication::sendEvent(view, &left);
        EXPECT_EQ(view->FramesDrawn() - idle, 1);
        EXPECT_EQ(shiftX->text().toStdString(), "0.190000");
        QSignalSpy shown(view, &QOpenGLWidget::frameSwapped);
        view->setUpdatesEnabled(true);
        ASSERT_TRUE(shown.wait());
        EXPECT_EQ(view->FramesDrawn() - idle, 1);
        app.ExitInstance();
    }
    fs::current_path(previous);
    fs::remove_all(dir);
}

}  // namespace
