// The key table filter with real key events: keys become commands only inside the frame, with
// the exact modifiers, and never reach the focused field.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/framework/accelerator_filter.h"
#include "shell/resources/resources.h"

using kavelo::platform::framework::AcceleratorFilter;
using kavelo::platform::framework::kHeldMeta;
using kavelo::platform::framework::TranslateAccelerator;
using kavelo::resources::AcceleratorEntry;
using kavelo::resources::MainAccelerators;

namespace {

constexpr unsigned kKey = FVIRTKEY | FNOINVERT;

TEST(TranslateAccelerator, FiresOnlyOnExactModifiersAndTheFirstMatchWins) {
    const AcceleratorEntry table[] = {
        {kKey, VK_RIGHT, 1},
        {kKey | FCONTROL, VK_RIGHT, 2},
        {kKey | FCONTROL | FALT, VK_RIGHT, 3},
        {kKey, VK_UP, 4},
        {kKey, VK_UP, 5},
    };
    EXPECT_EQ(TranslateAccelerator(table, VK_RIGHT, 0), 1u);
    EXPECT_EQ(TranslateAccelerator(table, VK_RIGHT, FCONTROL), 2u);
    EXPECT_EQ(TranslateAccelerator(table, VK_RIGHT, FCONTROL | FALT), 3u);
    EXPECT_EQ(TranslateAccelerator(table, VK_RIGHT, FSHIFT), 0u);
    EXPECT_EQ(TranslateAccelerator(table, VK_RIGHT, FALT), 0u);
    EXPECT_EQ(TranslateAccelerator(table, VK_RIGHT, FCONTROL | FSHIFT), 0u);
    EXPECT_EQ(TranslateAccelerator(table, VK_RIGHT, FCONTROL | FALT | FSHIFT), 0u);
    EXPECT_EQ(TranslateAccelerator(table, VK_RIGHT, kHeldMeta), 0u);
    EXPECT_EQ(TranslateAccelerator(table, VK_LEFT, 0), 0u);
    EXPECT_EQ(TranslateAccelerator(table, VK_UP, 0), 4u);
}

constexpr AcceleratorEntry kSmallTable[] = {
    {kKey, VK_LEFT, ID_MOVE_LEFT},
    {kKey | FCONTROL, VK_RIGHT, ID_ROTATE_Y_PLUS},
    {kKey, VK_RIGHT, ID_MOVE_RIGHT},
    {kKey, VK_ADD, ID_ZOOM_IN},
};

// The route's one target: records every command.
struct Recorder final : kavelo::platform::framework::CCmdTarget {
    bool HasCommandHandler(unsigned) const override { return true; }
    bool OnCmdMsg(unsigned id, const kavelo::platform::framework::CommandInput&) override {
        issued.push_back(id);
        return true;
    }
    std::vector<unsigned> issued;
};

// A frame with one field, shown and focused, and a filter that records what it issues.
struct Frame {
    explicit Frame(std::span<const AcceleratorEntry> table) {
        window.setWindowTitle(QStringLiteral("frame"));
        auto* layout = new QVBoxLayout(&window);
        field = new QLineEdit(&window);
        layout->addWidget(field);
        filter = std::make_unique<AcceleratorFilter>(&window, table, route);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        field->setFocus();
        field->setText(QStringLiteral("0.010000"));
        field->setCursorPosition(3);
    }
    QWidget window;
    QLineEdit* field;
    Recorder recorder;
    kavelo::platform::framework::CCmdTarget* const route[1] = {&recorder};
    std::unique_ptr<AcceleratorFilter> filter;
    std::vector<unsigned>& issued = recorder.issued;
};

TEST(AcceleratorFilter, KeyInFieldIssuesCommandAndNeverReachesField) {
    Frame frame(kSmallTable);
    // A shortcut on the same key must not steal it either.
    QAction shortcut(&frame.window);
    shortcut.setShortcut(QKeySequence(Qt::Key_Left));
    frame.window.addAction(&shortcut);
    int shortcutFired = 0;
    QObject::connect(&shortcut, &QAction::triggered, [&] { ++shortcutFired; });

    QTest::keyClick(frame.field, Qt::Key_Left);
    EXPECT_EQ(frame.issued, std::vector<unsigned>{ID_MOVE_LEFT});
    EXPECT_EQ(frame.field->text(), QStringLiteral("0.010000"));
    EXPECT_EQ(frame.field->cursorPosition(), 3);
    EXPECT_EQ(shortcutFired, 0);

    // The same through the window, the way the window system delivers it to the focus widget.
    QTest::keyClick(frame.window.windowHandle(), Qt::Key_Left);
    EXPECT_EQ(frame.issued, (std::vector<unsigned>{ID_MOVE_LEFT, ID_MOVE_LEFT}));
    EXPECT_EQ(frame.field->cursorPosition(), 3);

    QTest::keyClick(frame.field, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(frame.issued.back(), ID_ROTATE_Y_PLUS);
    EXPECT_EQ(frame.field->cursorPosition(), 3);
    QTest::keyClick(frame.field, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(frame.issued.back(), ID_ZOOM_IN);
    EXPECT_EQ(frame.field->text(), QStringLiteral("0.010000"));
    EXPECT_EQ(frame.issued.size(), 4u);

    // A focused widget that does not keep arrows for itself would let the shortcut have Left.
    frame.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame.window));
    auto* view = new QWidget(&frame.window);
    view->setFocusPolicy(Qt::StrongFocus);
    view->show();
    view->setFocus();
    QTest::keyClick(frame.window.windowHandle(), Qt::Key_Left);
    EXPECT_EQ(frame.issued.back(), ID_MOVE_LEFT);
    EXPECT_EQ(frame.issued.size(), 5u);
    EXPECT_EQ(shortcutFired, 0);
    // A key without an entry still reaches the shortcut.
    shortcut.setShortcut(QKeySequence(Qt::Key_Home));
    QTest::keyClick(frame.window.windowHandle(), Qt::Key_Home);
    EXPECT_EQ(shortcutFired, 1);
}

TEST(AcceleratorFilter, KeysWithoutAnExactEntryGoToTheField) {
    Frame frame(kSmallTable);
    // Shift+Right has no entry: the field extends its selection instead.
    QTest::keyClick(frame.field, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(frame.issued.empty());
    EXPECT_EQ(frame.field->selectedText(), QStringLiteral("1"));
    // Alt+Right and Ctrl+Shift+Right have none either.
    QTest::keyClick(frame.field, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(frame.field, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(frame.issued.empty());
    // The main keyboard's plus is typed, not zoomed.
    frame.field->setCursorPosition(0);
    QTest::keyClick(frame.field, Qt::Key_Plus, Qt::NoModifier);
    EXPECT_TRUE(frame.issued.empty());
    EXPECT_EQ(frame.field->text(), QStringLiteral("+0.010000"));
}

TEST(AcceleratorFilter, AutoRepeatIsTranslatedEachTime) {
    Frame frame(kSmallTable);
    QTest::simulateEvent(frame.field, true, Qt::Key_Right, Qt::NoModifier, QString(), false);
    for (int i = 0; i < 4; ++i) {
        QTest::simulateEvent(frame.field, true, Qt::Key_Right, Qt::NoModifier, QString(), true);
    }
    QTest::simulateEvent(frame.field, false, Qt::Key_Right, Qt::NoModifier, QString(), false);
    EXPECT_EQ(frame.issued, std::vector<unsigned>(5, ID_MOVE_RIGHT));
    EXPECT_EQ(frame.field->cursorPosition(), 3);
}

TEST(AcceleratorFilter, OtherWindowsModalDialogsAndTheMenuBarAreLeftAlone) {
    Frame frame(kSmallTable);

    // A field of another top-level window moves its own caret.
    QWidget other;
    auto* otherField = new QLineEdit(QStringLiteral("abc"), &other);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    otherField->setCursorPosition(2);
    QTest::keyClick(otherField, Qt::Key_Left);
    EXPECT_TRUE(frame.issued.empty());
    EXPECT_EQ(otherField->cursorPosition(), 1);

    // While a modal dialog is open, even a key sent into the frame is not translated.
    {
        QDialog modal(&frame.window);
        modal.setModal(true);
        modal.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&modal));
        ASSERT_EQ(QApplication::activeModalWidget(), &modal);
        QTest::keyClick(frame.field, Qt::Key_Left);
        EXPECT_TRUE(frame.issued.empty());
        modal.hide();
    }
    QTest::keyClick(frame.field, Qt::Key_Left);
    EXPECT_EQ(frame.issued, std::vector<unsigned>{ID_MOVE_LEFT});

    // A menu bar inside the frame keeps its arrows for its own navigation.
    auto* bar = new QMenuBar(&frame.window);
    bar->addMenu(QStringLiteral("&File"));
    bar->addMenu(QStringLiteral("&Help"));
    bar->show();
    bar->setFocus();
    ASSERT_EQ(frame.window.focusWidget(), bar);
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(frame.issued.size(), 1u);
    frame.field->setFocus();
    QTest::keyClick(frame.field, Qt::Key_Left);
    EXPECT_EQ(frame.issued.size(), 2u);

    // Without the filter the field has its arrows back.
    frame.filter.reset();
    const int caret = frame.field->cursorPosition();
    QTest::keyClick(frame.field, Qt::Key_Left);
    EXPECT_EQ(frame.issued.size(), 2u);
    EXPECT_EQ(frame.field->cursorPosition(), caret - 1);
}

TEST(AcceleratorFilter, TheProgramsKeyTable) {
    Frame frame(MainAccelerators());
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        unsigned expected;  // 0: nothing
    };
    const Case cases[] = {
        {Qt::Key_Right, Qt::NoModifier, ID_MOVE_RIGHT},
        {Qt::Key_Right, Qt::ControlModifier, ID_ROTATE_Y_PLUS},
        {Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier, ID_ROTATE_Z_PLUS},
        {Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier, ID_ROTATE_Z_MINUS},
        {Qt::Key_Up, Qt::ControlModifier, ID_ROTATE_X_MINUS},
        {Qt::Key_Down, Qt::ControlModifier, ID_ROTATE_X_PLUS},
        {Qt::Key_Down, Qt::KeypadModifier, ID_MOVE_DOWN},
        {Qt::Key_PageUp, Qt::NoModifier, ID_PERSPECTIVE_PLUS},
        {Qt::Key_PageDown, Qt::NoModifier, ID_PERSPECTIVE_MINUS},
        {Qt::Key_Plus, Qt::KeypadModifier, ID_ZOOM_IN},
        {Qt::Key_Minus, Qt::KeypadModifier, ID_ZOOM_OUT},
        {Qt::Key_Right, Qt::ShiftModifier, 0},
        {Qt::Key_Right, Qt::AltModifier, 0},
        {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier, 0},
        {Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier, 0},
        {Qt::Key_Equal, Qt::NoModifier, 0},
        {Qt::Key_Minus, Qt::NoModifier, 0},
        {Qt::Key_Plus, Qt::KeypadModifier | Qt::ShiftModifier, 0},
    };
    for (const Case& c : cases) {
        frame.issued.clear();
        QTest::keyClick(frame.field, c.key, c.mods);
        const std::vector<unsigned> expected =
            c.expected != 0 ? std::vector<unsigned>{c.expected} : std::vector<unsigned>{};
        EXPECT_EQ(frame.issued, expected) << "key " << c.key << " modifiers " << c.mods.toInt();
    }
}

}  // namespace
