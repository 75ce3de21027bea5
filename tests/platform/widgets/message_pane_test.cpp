// The status bar's message pane: idle text, prompts, menus closing, and the fly-by over watched
// controls with the pointer moved by real mouse events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include "platform/widgets/message_pane.h"

using kavelo::platform::widgets::MessagePane;

namespace {

// Waits, running the event loop, until the pane shows `text`.
bool ShowsWithin(const MessagePane& pane, const QString& text, int timeoutMs) {
    return QTest::qWaitFor([&] { return pane.Text() == text; }, timeoutMs);
}

TEST(MessagePane, IdleTextPromptsAndMenusClosing) {
    MessagePane pane;
    EXPECT_EQ(pane.IdleText(), QStringLiteral("Ready"));
    EXPECT_EQ(pane.Text(), QStringLiteral("Ready"));

    pane.OnStatusTip(QStringLiteral("Quit the application; prompts to save documents"));
    EXPECT_EQ(pane.Text(), QStringLiteral("Quit the application; prompts to save documents"));
    pane.OnMenuClosed();
    EXPECT_EQ(pane.Text(), QStringLiteral("Ready"));
    // The empty tip a menu bar sends as it drops its last highlight ends the menu too.
    pane.ShowMessage(QString());
    pane.OnStatusTip(QString());
    EXPECT_EQ(pane.Text(), QStringLiteral("Ready"));

    // A new idle text shows at once while idle, and only when idle again otherwise.
    pane.SetIdleText(QStringLiteral("input.txt:12:7: expected a number"));
    EXPECT_EQ(pane.Text(), QStringLiteral("input.txt:12:7: expected a number"));
    pane.ShowMessage(QStringLiteral("<b>a prompt</b>"));
    pane.SetIdleText(QStringLiteral("Ready"));
    EXPECT_EQ(pane.Text(), QStringLiteral("<b>a prompt</b>"));
    pane.ShowIdle();
    EXPECT_EQ(pane.Text(), QStringLiteral("Ready"));
    EXPECT_EQ(pane.findChild<QLabel*>()->textFormat(), Qt::PlainText);

    // While another popup is still open the menu has not closed.
    QMenu menu;
    menu.addAction(QStringLiteral("entry"));
    menu.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    pane.OnStatusTip(QString());  // an entry without a prompt
    EXPECT_EQ(pane.Text(), QString());
    pane.OnMenuClosed();
    EXPECT_EQ(pane.Text(), QString());
    QObject::connect(&menu, &QMenu::aboutToHide, &pane, &MessagePane::OnMenuClosed);
    menu.hide();
    EXPECT_EQ(pane.Text(), QStringLiteral("Ready"));
}

TEST(MessagePane, OneLineHighAndAsWideAsTheBar) {
    QWidget bar;
    auto* layout = new QVBoxLayout(&bar);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* pane = new MessagePane(&bar);
    layout->addWidget(pane);
    bar.resize(400, pane->sizeHint().height());
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const int line = pane->fontMetrics().height();
    EXPECT_GE(pane->height(), line);
    EXPECT_LT(pane->height(), 2 * line);
    auto* text = pane->findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_GE(text->width(), 390);
    EXPECT_EQ(text->frameShadow(), QFrame::Sunken);
    // A long prompt does not widen the bar.
    const int before = pane->minimumSizeHint().width();
    pane->ShowMessage(QString(500, u'x'));
    EXPECT_EQ(pane->minimumSizeHint().width(), before);
}

TEST(MessagePane, TooLongATextEndsInAnEllipsisAndShowsWholeAsTheTooltip) {
    MessagePane pane;
    pane.resize(200, pane.sizeHint().height());
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    const QString whole = QStringLiteral("input.txt:3:1: warning: found U+00A0 between numbers");
    pane.ShowMessage(whole);
    const auto* label = pane.findChild<QLabel*>();
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026))) << label->text().toStdString();
    EXPECT_EQ(label->toolTip(), whole);
    // Room enough: shown whole, with no tooltip.
    pane.resize(label->fontMetrics().horizontalAdvance(whole) + 40, pane.height());
    EXPECT_EQ(label->text(), whole);
    EXPECT_EQ(label->toolTip(), QString());
}

TEST(MessagePane, FlyByEmptiesWhileThePointerRestsOnWatchedControls) {
    QWidget frame;
    auto* layout = new QVBoxLayout(&frame);
    auto* first = new QLineEdit(&frame);
    auto* second = new QLineEdit(&frame);
    auto* unwatched = new QLineEdit(&frame);
    auto* pane = new MessagePane(&frame);
    layout->setSpacing(0);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addSpacing(30);
    layout->addWidget(unwatched);
    layout->addWidget(pane);
    pane->WatchFlyBy({first, second});
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QWindow* window = frame.windowHandle();
    auto centre = [&](QWidget* w) { return w->mapTo(&frame, w->rect().center()); };

    // A pointer resting elsewhere changes nothing, now or later.
    QTest::mouseMove(window, centre(unwatched));
    QCoreApplication::processEvents();
    EXPECT_FALSE(pane->FlyByPending());
    EXPECT_EQ(pane->Text(), QStringLiteral("Ready"));

    // On a watched control: not at once, but after the pointer has rested there.
    QTest::mouseMove(window, centre(first));
    EXPECT_EQ(pane->Text(), QStringLiteral("Ready"));
    EXPECT_TRUE(ShowsWithin(*pane, QString(), 2000));

    // Straight onto another watched control: it stays empty.
    QTest::mouseMove(window, centre(second));
    QCoreApplication::processEvents();
    EXPECT_EQ(pane->Text(), QString());

    // Off the watched controls: the idle text is back.
    QTest::mouseMove(window, centre(unwatched));
    EXPECT_TRUE(ShowsWithin(*pane, QStringLiteral("Ready"), 1000));

    // Passing over a watched control without resting leaves the pane alone.
    QTest::mouseMove(window, centre(first));
    QTest::mouseMove(window, centre(unwatched));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pane->FlyByPending(); }, 2000));
    EXPECT_EQ(pane->Text(), QStringLiteral("Ready"));

    // A prompt shown meanwhile is not undone by the pointer leaving.
    QTest::mouseMove(window, centre(second));
    EXPECT_TRUE(ShowsWithin(*pane, QString(), 2000));
    pane->ShowMessage(QStringLiteral("prompt"));
    QTest::mouseMove(window, centre(unwatched));
    QCoreApplication::processEvents();
    EXPECT_EQ(pane->Text(), QStringLiteral("prompt"));
}

}  // namespace
