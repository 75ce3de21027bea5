// The menu bar built from a small menu table, driven with real clicks and keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QVBoxLayout>
#include <map>
#include <set>
#include <vector>

#include "platform/framework/resource_strings.h"
#include "platform/widgets/menu_builder.h"
#include "shell/resources/resources.h"

using kavelo::platform::framework::CommandPrompt;
using kavelo::platform::widgets::BuildMenuBar;
using kavelo::platform::widgets::MenuCallbacks;
using kavelo::resources::MainMenu;
using kavelo::resources::MenuEntry;
using kavelo::resources::MenuEntryKind;

namespace {

constexpr MenuEntry kDeep[] = {
    {MenuEntryKind::Command, "&Deep", 12, {}},
};
constexpr MenuEntry kFile[] = {
    {MenuEntryKind::Command, "&Open", 10, {}},
    {MenuEntryKind::Separator, nullptr, 0, {}},
    {MenuEntryKind::Command, "E&xit", 11, {}},
    {MenuEntryKind::Popup, "&More", 0, kDeep},
};
constexpr MenuEntry kView[] = {
    {MenuEntryKind::Command, "&Bar", 13, {}},
};
constexpr MenuEntry kMenu[] = {
    {MenuEntryKind::Popup, "&File", 0, kFile},
    {MenuEntryKind::Popup, "&View", 0, kView},
};

// A frame that records the status tips its menus send it.
class TipFrame : public QWidget {
  public:
    std::vector<QString> tips;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::StatusTip) {
            tips.push_back(static_cast<QStatusTipEvent*>(event)->tip());
            return true;
        }
        return QWidget::event(event);
    }
};

struct MenuFixture {
    MenuFixture() {
        bar = new QMenuBar(&frame);
        bar->setNativeMenuBar(false);
        auto* layout = new QVBoxLayout(&frame);
        layout->setMenuBar(bar);
        frame.resize(300, 200);
        MenuCallbacks callbacks;
        callbacks.command = [this](unsigned id) { commands.push_back(id); };
        callbacks.enabled = [this](unsigned id) {
            ++enabledAsked[id];
            return disabled.count(id) == 0;
        };
        callbacks.checked = [this](unsigned id) -> std::optional<bool> {
            ++checkedAsked[id];
            if (id != 13) {
                return std::nullopt;
            }
            return barChecked;
        };
        callbacks.prompt = [](unsigned id) { return id == 11 ? "Quit the program" : ""; };
        BuildMenuBar(bar, kMenu, callbacks);
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        EXPECT_EQ(bar->actions().size(), 2);
        file = bar->actions().value(0)->menu();
        view = bar->actions().value(1)->menu();
    }

    // Opens a popup with a click on its title, as the user does.
    void Open(int index) {
        QAction* title = bar->actions().at(index);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(title->menu()));
    }
    void CloseAll() {
        while (QWidget* popup = QApplication::activePopupWidget()) {
            QTest::keyClick(popup, Qt::Key_Escape);
        }
    }
    QAction* FileAction(int index) const { return file->actions().at(index); }

    TipFrame frame;
    QMenuBar* bar = nullptr;
    QMenu* file = nullptr;
    QMenu* view = nullptr;
    std::vector<unsigned> commands;
    std::map<unsigned, int> enabledAsked;
    std::map<unsigned, int> checkedAsked;
    std::set<unsigned> disabled;
    bool barChecked = true;
};

TEST(MenuBuilder, TextsSeparatorsIdsAndTips) {
    MenuFixture m;
    ASSERT_NE(m.file, nullptr);
    ASSERT_NE(m.view, nullptr);
    EXPECT_EQ(m.bar->actions()[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(m.bar->actions()[1]->text(), QStringLiteral("&View"));

    const QList<QAction*> entries = m.file->actions();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->text(), QStringLiteral("&Open"));
    EXPECT_EQ(entries[0]->data().toUInt(), 10u);
    EXPECT_TRUE(entries[1]->isSeparator());
    EXPECT_EQ(entries[2]->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(entries[2]->data().toUInt(), 11u);
    ASSERT_NE(entries[3]->menu(), nullptr);
    EXPECT_EQ(entries[3]->text(), QStringLiteral("&More"));
    ASSERT_EQ(entries[3]->menu()->actions().size(), 1);
    EXPECT_EQ(entries[3]->menu()->actions()[0]->data().toUInt(), 12u);

    EXPECT_EQ(entries[0]->statusTip(), QString());
    EXPECT_EQ(entries[2]->statusTip(), QStringLiteral("Quit the program"));
    for (QAction* action : entries) {
        EXPECT_TRUE(action->shortcut().isEmpty());
        EXPECT_FALSE(action->text().contains(u'\t'));
    }

    // Highlighting entries sends their tips to the frame, the empty one too.
    m.Open(0);
    m.frame.tips.clear();
    QTest::keyClick(m.file, Qt::Key_Down);  // onto "&Open"
    QTest::keyClick(m.file, Qt::Key_Down);  // past the separator onto "E&xit"
    ASSERT_GE(m.frame.tips.size(), 2u);
    EXPECT_EQ(m.frame.tips.front(), QString());
    EXPECT_EQ(m.frame.tips.back(), QStringLiteral("Quit the program"));
    m.CloseAll();
}

TEST(MenuBuilder, StateIsAskedEachTimeAPopupOpens) {
    MenuFixture m;
    EXPECT_TRUE(m.enabledAsked.empty());  // nothing asked before a popup opens
    m.disabled = {11};
    m.Open(0);
    EXPECT_EQ(m.enabledAsked[10], 1);
    EXPECT_EQ(m.enabledAsked[11], 1);
    EXPECT_EQ(m.enabledAsked[12], 0);  // a submenu's entries are asked when it opens
    EXPECT_EQ(m.enabledAsked[13], 0);
    EXPECT_TRUE(m.FileAction(0)->isEnabled());
    EXPECT_FALSE(m.FileAction(2)->isEnabled());
    EXPECT_FALSE(m.FileAction(0)->isCheckable());
    m.CloseAll();

    m.disabled.clear();
    m.Open(0);
    EXPECT_EQ(m.enabledAsked[11], 2);
    EXPECT_TRUE(m.FileAction(2)->isEnabled());
    m.CloseAll();

    m.Open(1);
    QAction* barEntry = m.view->actions().at(0);
    EXPECT_EQ(m.checkedAsked[13], 1);
    EXPECT_TRUE(barEntry->isCheckable());
    EXPECT_TRUE(barEntry->isChecked());
    m.CloseAll();
    m.barChecked = false;
    m.Open(1);
    EXPECT_EQ(m.checkedAsked[13], 2);
    EXPECT_TRUE(barEntry->isCheckable());
    EXPECT_FALSE(barEntry->isChecked());
    m.CloseAll();
    EXPECT_TRUE(m.commands.empty());
}

TEST(MenuBuilder, ChoosingAnEntryIssuesItsCommand) {
    MenuFixture m;
    m.Open(0);
    QTest::mouseClick(m.file, Qt::LeftButton, {}, m.file->actionGeometry(m.FileAction(0)).center());
    EXPECT_EQ(m.commands, std::vector<unsigned>{10});
    EXPECT_FALSE(m.file->isVisible());

    m.Open(0);
    QTest::keyClick(m.file, Qt::Key_Down);
    QTest::keyClick(m.file, Qt::Key_Down);
    QTest::keyClick(m.file, Qt::Key_Return);
    EXPECT_EQ(m.commands, (std::vector<unsigned>{10, 11}));

    // The access key of an entry chooses it.
    m.Open(0);
    QTest::keyClick(m.file, Qt::Key_X);
    EXPECT_EQ(m.commands, (std::vector<unsigned>{10, 11, 11}));

    // A disabled entry issues nothing.
    m.disabled = {10};
    m.Open(0);
    QTest::mouseClick(m.file, Qt::LeftButton, {}, m.file->actionGeometry(m.FileAction(0)).center());
    EXPECT_EQ(m.commands.size(), 3u);
    m.CloseAll();
}

TEST(MenuBuilder, TheProgramsMenu) {
    QMenuBar bar;
    std::vector<unsigned> chosen;
    MenuCallbacks callbacks;
    callbacks.command = [&](unsigned id) { chosen.push_back(id); };
    callbacks.prompt = [](unsigned id) { return std::string(CommandPrompt(id)); };
    BuildMenuBar(&bar, MainMenu(), callbacks);
    QStringList titles;
    QStringList entries;
    for (QAction* title : bar.actions()) {
        titles << title->text();
        for (QAction* entry : title->menu()->actions()) {
            entries << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        }
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Control", "&Help"}));
    EXPECT_EQ(entries, (QStringList{"&Restart", "-", "E&xit", "&Status Bar", "&About Kavelo..."}));
    QMenu* file = bar.actions()[0]->menu();
    EXPECT_EQ(file->actions()[0]->statusTip(), QString());
    EXPECT_EQ(file->actions()[2]->statusTip(),
              QStringLiteral("Quit the application; prompts to save documents"));
    file->actions()[2]->trigger();
    EXPECT_EQ(chosen, std::vector<unsigned>{ID_APP_EXIT});
}

}  // namespace
