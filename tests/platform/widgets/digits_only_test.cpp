// The digits-only field style: typing is filtered, text the program writes is not.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "platform/widgets/digits_only.h"

using kavelo::platform::widgets::IsRefusedByDigitsOnly;
using kavelo::platform::widgets::MakeDigitsOnly;

namespace {

bool Refused(int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QKeyEvent event(QEvent::KeyPress, key, mods, text);
    return IsRefusedByDigitsOnly(event);
}

TEST(DigitsOnly, RefusesTypedNonDigitsAndPassesEditingKeys) {
    for (char c = '0'; c <= '9'; ++c) {
        EXPECT_FALSE(Refused(Qt::Key_0 + (c - '0'), QString(QChar(c)))) << c;
    }
    EXPECT_TRUE(Refused(Qt::Key_Minus, QStringLiteral("-")));
    EXPECT_TRUE(Refused(Qt::Key_Period, QStringLiteral(".")));
    EXPECT_TRUE(Refused(Qt::Key_Comma, QStringLiteral(",")));
    EXPECT_TRUE(Refused(Qt::Key_Space, QStringLiteral(" ")));
    EXPECT_TRUE(Refused(Qt::Key_A, QStringLiteral("A"), Qt::ShiftModifier));
    EXPECT_TRUE(Refused(Qt::Key_Minus, QStringLiteral("-"), Qt::KeypadModifier));
    EXPECT_TRUE(Refused(Qt::Key_E, QStringLiteral("\u00e9")));
    // AltGr arrives as Ctrl+Alt and types a character; Ctrl on the keypad types too.
    EXPECT_TRUE(Refused(Qt::Key_At, QStringLiteral("@"), Qt::ControlModifier | Qt::AltModifier));
    for (const char* typed : {"-", ".", "+", "*", "/"}) {
        EXPECT_TRUE(
            Refused(0, QString::fromLatin1(typed), Qt::ControlModifier | Qt::KeypadModifier));
        EXPECT_TRUE(Refused(0, QString::fromLatin1(typed),
                            Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier));
    }
    // A digit on the keypad is still a digit.
    EXPECT_FALSE(Refused(Qt::Key_7, QStringLiteral("7"), Qt::KeypadModifier));
    // Keys that type nothing, and shortcuts.
    EXPECT_FALSE(Refused(Qt::Key_Backspace, QStringLiteral("\b")));
    EXPECT_FALSE(Refused(Qt::Key_Delete, QStringLiteral("\x7f")));
    EXPECT_FALSE(Refused(Qt::Key_Tab, QStringLiteral("\t")));
    EXPECT_FALSE(Refused(Qt::Key_Return, QStringLiteral("\r")));
    EXPECT_FALSE(Refused(Qt::Key_Left, QString()));
    EXPECT_FALSE(Refused(Qt::Key_Home, QString()));
    EXPECT_FALSE(Refused(Qt::Key_C, QStringLiteral("\x03"), Qt::ControlModifier));
    EXPECT_FALSE(Refused(Qt::Key_V, QStringLiteral("v"), Qt::ControlModifier));
    EXPECT_FALSE(Refused(Qt::Key_X, QStringLiteral("x"), Qt::ControlModifier));
    EXPECT_FALSE(Refused(Qt::Key_A, QStringLiteral("a"), Qt::ControlModifier));
    EXPECT_FALSE(Refused(Qt::Key_Z, QStringLiteral("Z"), Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_TRUE(Refused(Qt::Key_A, QStringLiteral("a"), Qt::MetaModifier)) << "Meta+A types an a";
}

TEST(DigitsOnly, FieldRefusesTypingButKeepsWrittenTextAndItsEditing) {
    QLineEdit field;
    MakeDigitsOnly(&field);
    MakeDigitsOnly(&field);  // a second call changes nothing
    field.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&field));

    QTest::keyClicks(&field, QStringLiteral("-1.5e2 x"));
    EXPECT_EQ(field.text(), QStringLiteral("152"));

    // What the program writes, sign and decimal point included, is shown as written.
    field.setText(QStringLiteral("-0.100000"));
    EXPECT_EQ(field.text(), QStringLiteral("-0.100000"));

    // Editing digits inside a written value: replace the "1" of "0.010000" with "25".
    field.setText(QStringLiteral("0.010000"));
    field.setCursorPosition(3);
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClicks(&field, QStringLiteral("25"));
    EXPECT_EQ(field.text(), QStringLiteral("0.0250000"));
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClick(&field, Qt::Key_Period);
    EXPECT_EQ(field.text(), QStringLiteral("0.020000"));
    EXPECT_EQ(field.cursorPosition(), 4);

    // Ctrl+A is a shortcut, not a typed "a": it selects, and a digit then replaces everything.
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_9);
    EXPECT_EQ(field.text(), QStringLiteral("9"));

    // Composed text keeps only its digits.
    QInputMethodEvent compose;
    compose.setCommitString(QStringLiteral("-4.2"));
    QApplication::sendEvent(&field, &compose);
    EXPECT_EQ(field.text(), QStringLiteral("942"));

    // A field without the style takes everything.
    QLineEdit plain;
    QTest::keyClicks(&plain, QStringLiteral("-1.5"));
    EXPECT_EQ(plain.text(), QStringLiteral("-1.5"));
}

}  // namespace
