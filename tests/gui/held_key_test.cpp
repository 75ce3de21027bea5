// A held key on a slow scene: repeats queued behind a frame share the next one.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "shell/main_frame.h"
#include "shell/resources/resource_ids.h"
#include "shell/scene_app.h"
#include "view/scene_view.h"

namespace {

namespace fs = std::filesystem;

TEST(HeldKey, QueuedRepeatsShareOneFrameAndEveryStepCounts) {
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

        // Twenty repeats made at one moment, all waiting in the queue at once.
        const int before = view->FramesDrawn();
        for (int i = 0; i < 20; ++i) {
            auto* repeat =
                new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
            repeat->setTimestamp(1);
            QCoreApplication::postEvent(view, repeat);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return shiftX->text() == "0.200000"; }));
        // The first finishes at once, the nineteen behind it share one more (an expose of the
        // window may add its own).
        EXPECT_LE(view->FramesDrawn() - before, 3);

        // Another key, pressed while idle, repaints and refreshes the panel before it returns
        // (a frame the compositor held back may be drawn once more on the way).
        const int idle = view->FramesDrawn();
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &left);
        EXPECT_GE(view->FramesDrawn() - idle, 1);
        EXPECT_LE(view->FramesDrawn() - idle, 2);
        EXPECT_EQ(shiftX->text().toStdString(), "0.190000");
        app.ExitInstance();
    }
    fs::current_path(previous);
    fs::remove_all(dir);
}

}  // namespace
