// Dialog templates as widgets: unit conversion, the controls a template makes, the panel's
// keyboard and the modal box's ways out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "platform/widgets/dialog_builder.h"
#include "shell/resources/resources.h"

using kavelo::platform::widgets::BaseUnitsForFont;
using kavelo::platform::widgets::DialogBar;
using kavelo::platform::widgets::DialogBaseUnits;
using kavelo::platform::widgets::DialogControls;
using kavelo::platform::widgets::DialogFont;
using kavelo::platform::widgets::DialogUnitsToPixels;
using kavelo::platform::widgets::TemplateDialog;
using kavelo::resources::AboutBoxTemplate;
using kavelo::resources::ControlKind;
using kavelo::resources::ControlPanelTemplate;
using kavelo::resources::DialogControl;
using kavelo::resources::DialogTemplate;
using kavelo::resources::kAlignCenter;
using kavelo::resources::kAlignLeft;
using kavelo::resources::kAlignRight;
using kavelo::resources::kBorder;
using kavelo::resources::kDigitsOnly;
using kavelo::resources::kDisabled;
using kavelo::resources::kGroupStart;
using kavelo::resources::kHidden;
using kavelo::resources::kNoPrefix;
using kavelo::resources::kStaticEdge;
using kavelo::resources::kStyleNone;
using kavelo::resources::kTabStop;

namespace {

TEST(DialogUnits, ScaleEachValueAndRoundHalvesAwayFromZero) {
    const DialogBaseUnits msSansSerif{6, 13};
    // 40*6/4 = 60, 14*13/8 = 22.75, 46*6/4 = 69, 12*13/8 = 19.5.
    EXPECT_EQ(DialogUnitsToPixels(msSansSerif, 40, 14, 46, 12), QRect(60, 23, 69, 20));
    // The panel: 104*6/4 = 156 by 279*13/8 = 453.375.
    EXPECT_EQ(DialogUnitsToPixels(msSansSerif, 0, 0, 104, 279).size(), QSize(156, 453));
    // 1*7/4 = 1.75, 1*15/8 = 1.875, 2*7/4 = 3.5, 3*15/8 = 5.625.
    EXPECT_EQ(DialogUnitsToPixels({7, 15}, 1, 1, 2, 3), QRect(2, 2, 4, 6));
    // 2*6/4 = 3 exactly, 4*13/8 = 6.5; width and height are scaled on their own, not as edges.
    EXPECT_EQ(DialogUnitsToPixels(msSansSerif, 1, 4, 1, 4), QRect(2, 7, 2, 7));
    // Negative positions round away from zero as well: -1.5 and -6.5.
    const QRect negative = DialogUnitsToPixels(msSansSerif, -1, -4, 0, 0);
    EXPECT_EQ(negative.x(), -2);
    EXPECT_EQ(negative.y(), -7);
    // Large values do not overflow the intermediate product.
    EXPECT_EQ(DialogUnitsToPixels({100000, 100000}, 40000, 0, 0, 0).x(), 1000000000);
}

TEST(DialogUnits, BaseUnitsComeFromTheLettersAndTheHeightOfTheFont) {
    const QFont requested = DialogFont("MS Sans Serif", 8);
    EXPECT_EQ(requested.family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(requested.pointSize(), 8);
    EXPECT_EQ(requested.styleHint(), QFont::SansSerif);

    // In a fixed-pitch font the average advance is the advance of any letter.
    QFont mono(QStringLiteral("DejaVu Sans Mono"), 10);
    mono.setStyleHint(QFont::Monospace);
    if (QFontInfo(mono).fixedPitch()) {
        const QFontMetrics metrics(mono);
        const DialogBaseUnits units = BaseUnitsForFont(mono);
        EXPECT_EQ(units.x, metrics.horizontalAdvance(QLatin1Char('m')));
        EXPECT_EQ(units.y, metrics.height());
    }

    // In a proportional font it is the mean over A-Z and a-z rounded to the nearest pixel, not
    // cut off: only rounding keeps it within half a pixel (plus hinting's slack) at every size.
    for (int points = 6; points <= 24; ++points) {
        const QFont font = DialogFont("MS Sans Serif", points);
        const QFontMetricsF exact(font);
        double sum = 0;
        for (char c = 'A'; c <= 'Z'; ++c) {
            sum += exact.horizontalAdvance(QLatin1Char(c));
            sum += exact.horizontalAdvance(QLatin1Char(static_cast<char>(c - 'A' + 'a')));
        }
        const DialogBaseUnits units = BaseUnitsForFont(font);
        EXPECT_NEAR(units.x, sum / 52.0, 0.55) << points << " pt";
        EXPECT_EQ(units.y, QFontMetrics(font).height()) << points << " pt";
    }
}

QPixmap TestIcon(const char* name) {
    QPixmap pixmap(32, 32);
    pixmap.fill(std::string(name) == "ICON" ? Qt::red : Qt::blue);
    return pixmap;
}

constexpr DialogControl kMixedControls[] = {
    {101, ControlKind::Edit, nullptr, 10, 20, 40, 12, kBorder | kTabStop | kDigitsOnly},
    {102, ControlKind::Edit, "any", 10, 40, 40, 12, kTabStop},
    {IDC_STATIC, ControlKind::Static, "Left", 60, 20, 30, 8, kAlignLeft},
    {IDC_STATIC, ControlKind::Static, "Mid", 60, 30, 30, 8, kAlignCenter},
    {IDC_STATIC, ControlKind::Static, "Right", 60, 40, 30, 8, kAlignRight},
    {IDC_STATIC, ControlKind::Static, "A&&B", 60, 50, 30, 8, kNoPrefix},
    {IDC_STATIC, ControlKind::GroupBox, "Group", 5, 5, 100, 60, kStyleNone},
    {201, ControlKind::PushButton, "Go", 10, 70, 40, 14, kTabStop | kStaticEdge},
    {202, ControlKind::PushButton, "Hidden", 10, 90, 40, 14, kTabStop | kHidden | kDisabled},
    {203, ControlKind::DefPushButton, "OK", 60, 70, 40, 14, kTabStop},
    {IDC_STATIC, ControlKind::Icon, "ICON", 110, 5, 20, 20, kStyleNone},
    {IDC_STATIC, ControlKind::Static, "&Name:", 110, 40, 30, 8, kAlignLeft},
    {IDC_STATIC, ControlKind::Static, "x", 110, 50, 8, 8, kAlignLeft},
    {104, ControlKind::Edit, nullptr, 110, 60, 30, 12, kBorder | kTabStop},
    {IDC_STATIC, ControlKind::Static, "Last &one", 110, 80, 30, 8, kAlignLeft},
};
constexpr DialogTemplate kMixed = {
    7, nullptr, 150, 110, "MS Sans Serif", 8, false, kMixedControls,
};

TEST(DialogControls, BuildEveryKindAtItsRectangleWithItsStyle) {
    QWidget host;
    DialogControls controls(kMixed, &host, TestIcon);
    std::vector<unsigned> commands;
    controls.onCommand = [&](unsigned id) { commands.push_back(id); };
    host.resize(controls.PixelSize());
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    const DialogBaseUnits base = controls.BaseUnits();
    EXPECT_EQ(host.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(base.x, BaseUnitsForFont(host.font()).x);
    EXPECT_EQ(controls.PixelSize(), DialogUnitsToPixels(base, 0, 0, 150, 110).size());

    ASSERT_EQ(controls.InOrder().size(), std::size(kMixedControls));
    for (std::size_t i = 0; i < std::size(kMixedControls); ++i) {
        const DialogControl& c = kMixedControls[i];
        QWidget* widget = controls.InOrder()[i];
        EXPECT_EQ(controls.IdAt(i), c.id);
        EXPECT_EQ(widget->parentWidget(), &host) << i;
        if (c.kind == ControlKind::Icon) {
            EXPECT_EQ(widget->pos(), DialogUnitsToPixels(base, c.x, c.y, 0, 0).topLeft());
            EXPECT_EQ(widget->size(), QSize(32, 32));  // an icon keeps its own size
        } else {
            EXPECT_EQ(widget->geometry(), DialogUnitsToPixels(base, c.x, c.y, c.width, c.height))
                << "control " << i;
        }
    }

    // Lookup by id: the first of an id, and nothing for an unknown one.
    EXPECT_EQ(controls.Item(102), controls.InOrder()[1]);
    EXPECT_EQ(controls.Item(IDC_STATIC), controls.InOrder()[2]);
    EXPECT_EQ(controls.Item(999), nullptr);

    // Edits: border, starting text, digits-only only where the style says so.
    auto* digits = qobject_cast<QLineEdit*>(controls.Item(101));
    auto* any = qobject_cast<QLineEdit*>(controls.Item(102));
    ASSERT_NE(digits, nullptr);
    ASSERT_NE(any, nullptr);
    EXPECT_TRUE(digits->hasFrame());
    EXPECT_FALSE(any->hasFrame());
    EXPECT_EQ(digits->text(), QString());
    EXPECT_EQ(any->text(), QStringLiteral("any"));
    QTest::keyClicks(digits, QStringLiteral("-7.5"));
    EXPECT_EQ(digits->text(), QStringLiteral("75"));
    any->setCursorPosition(3);
    QTest::keyClicks(any, QStringLiteral("-7.5"));
    EXPECT_EQ(any->text(), QStringLiteral("any-7.5"));
    EXPECT_EQ(digits->focusPolicy(), Qt::StrongFocus);

    // Statics: alignment, text as typed, no focus.
    auto label = [&](std::size_t i) { return qobject_cast<QLabel*>(controls.InOrder()[i]); };
    ASSERT_NE(label(2), nullptr);
    EXPECT_EQ(label(2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(label(3)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(label(4)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(label(5)->text(), QStringLiteral("A&&B"));
    EXPECT_EQ(label(5)->buddy(), nullptr);
    EXPECT_EQ(label(2)->focusPolicy(), Qt::NoFocus);
    // An access key on a static leads to the next tab stop after it in template order; with none
    // after it, the marker is dropped from the text.
    EXPECT_EQ(label(11)->buddy(), controls.Item(104));
    EXPECT_EQ(label(14)->buddy(), nullptr);
    EXPECT_EQ(label(14)->text(), QStringLiteral("Last one"));

    // The group box is a sibling of the fields it frames and lies beneath them.
    auto* box = qobject_cast<QGroupBox*>(controls.InOrder()[6]);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->title(), QStringLiteral("Group"));
    EXPECT_TRUE(box->children().isEmpty() || box->findChildren<QLineEdit*>().isEmpty());
    const QPoint insideBoth = digits->geometry().center();
    ASSERT_TRUE(box->geometry().contains(insideBoth));
    EXPECT_EQ(host.childAt(insideBoth), digits);

    // Buttons: visible and enabled, hidden and disabled, default.
    auto* go = qobject_cast<QPushButton*>(controls.Item(201));
    auto* hidden = qobject_cast<QPushButton*>(controls.Item(202));
    auto* ok = qobject_cast<QPushButton*>(controls.Item(203));
    ASSERT_TRUE(go && hidden && ok);
    EXPECT_TRUE(go->isVisible());
    EXPECT_TRUE(go->isEnabled());
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_FALSE(hidden->isEnabled());
    EXPECT_TRUE(ok->isDefault());
    EXPECT_FALSE(go->isDefault());
    // "Go" has the thin sunken edge: dark at its top left, light at its bottom right.
    const QImage face = go->grab().toImage();
    EXPECT_EQ(face.pixel(0, 0), go->palette().dark().color().rgb());
    EXPECT_EQ(face.pixel(face.width() - 1, face.height() - 1), go->palette().light().color().rgb());
    QTest::mouseClick(go, Qt::LeftButton);
    QTest::mouseClick(ok, Qt::LeftButton);
    hidden->click();  // disabled: no click
    EXPECT_EQ(commands, (std::vector<unsigned>{201, 203}));

    // The icon got its picture by name.
    auto* icon = qobject_cast<QLabel*>(controls.InOrder()[10]);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
}

TEST(DialogControls, ItemTextIsUtf8AndNeverFiltered) {
    QWidget host;
    DialogControls controls(kMixed, &host);
    controls.SetDlgItemText(101, "-0.100000");
    EXPECT_EQ(controls.GetDlgItemText(101), "-0.100000");
    auto* digits = qobject_cast<QLineEdit*>(controls.Item(101));
    EXPECT_EQ(digits->cursorPosition(), 0);  // a long number shows its first digits
    controls.SetDlgItemText(IDC_STATIC, "90\u00B0");
    EXPECT_EQ(controls.GetDlgItemText(IDC_STATIC), "90\u00B0");
    EXPECT_EQ(qobject_cast<QLabel*>(controls.Item(IDC_STATIC))->text(), QStringLiteral("90°"));
    EXPECT_EQ(controls.GetDlgItemText(201), "Go");
    controls.SetDlgItemText(201, "Stop");
    EXPECT_EQ(qobject_cast<QPushButton*>(controls.Item(201))->text(), QStringLiteral("Stop"));
    EXPECT_EQ(controls.GetDlgItemText(999), "");
    controls.SetDlgItemText(999, "nothing");  // no such control: no effect, no crash
    EXPECT_EQ(controls.GetDlgItemText(102), "any");
}

// The focus after one Tab (or Shift+Tab) from `from`.
QWidget* AfterTab(QWidget* from, bool back = false) {
    from->setFocus();
    QTest::keyClick(from, back ? Qt::Key_Backtab : Qt::Key_Tab,
                    back ? Qt::ShiftModifier : Qt::NoModifier);
    return from->window()->focusWidget();
}

TEST(DialogBar, ThePanelTemplate) {
    QWidget frame;
    auto* layout = new QVBoxLayout(&frame);
    auto* bar = new DialogBar(ControlPanelTemplate(), &frame);
    layout->addWidget(bar);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    DialogControls& controls = bar->Controls();

    EXPECT_EQ(controls.InOrder().size(), 28u);
    EXPECT_EQ(bar->width(), controls.PixelSize().width());
    EXPECT_EQ(bar->minimumWidth(), bar->maximumWidth());
    EXPECT_EQ(controls.PixelSize(),
              DialogUnitsToPixels(controls.BaseUnits(), 0, 0, 104, 279).size());
    const QList<QGroupBox*> boxes = bar->findChildren<QGroupBox*>();
    EXPECT_EQ(boxes.size(), 4);
    for (QGroupBox* box : boxes) {
        EXPECT_EQ(box->parentWidget(), bar);
        EXPECT_TRUE(box->findChildren<QLineEdit*>().isEmpty());
    }

    // Every field starts empty; every one but the X stretch takes digits only.
    for (int id : {IDC_SHIFT_X, IDC_SHIFT_Y, IDC_ANGLE_X, IDC_ANGLE_Y, IDC_ANGLE_Z, IDC_STRETCH_X,
                   IDC_STRETCH_Y, IDC_EXTENT}) {
        auto* field = qobject_cast<QLineEdit*>(controls.Item(id));
        ASSERT_NE(field, nullptr) << id;
        EXPECT_EQ(field->text(), QString()) << id;
        QTest::keyClicks(field, QStringLiteral("-1.5"));
        EXPECT_EQ(field->text(),
                  id == IDC_STRETCH_X ? QStringLiteral("-1.5") : QStringLiteral("15"))
            << id;
    }
    for (int id : {IDC_BEST_FIT, IDC_CENTRE}) {
        EXPECT_FALSE(controls.Item(id)->isVisible());
        EXPECT_FALSE(controls.Item(id)->isEnabled());
    }

    // Outside any dialog too, a focused "Update" takes Enter as a click.
    std::vector<unsigned> commands;
    controls.onCommand = [&](unsigned id) { commands.push_back(id); };
    controls.Item(IDC_UPDATE)->setFocus();
    QTest::keyClick(controls.Item(IDC_UPDATE), Qt::Key_Return);
    EXPECT_EQ(commands, std::vector<unsigned>{IDC_UPDATE});

    // Tab order: template order over the visible tab stops, Update before Extent, then around.
    const int order[] = {IDC_SHIFT_X,   IDC_SHIFT_Y,   IDC_ANGLE_X, IDC_ANGLE_Y, IDC_ANGLE_Z,
                         IDC_STRETCH_X, IDC_STRETCH_Y, IDC_UPDATE,  IDC_EXTENT,  IDC_SHIFT_X};
    controls.Item(IDC_SHIFT_X)->setFocus();
    for (std::size_t i = 1; i < std::size(order); ++i) {
        EXPECT_EQ(AfterTab(frame.focusWidget()), controls.Item(order[i]))
            << "Tab from " << order[i - 1];
    }
    for (std::size_t i = std::size(order) - 1; i > 0; --i) {
        EXPECT_EQ(AfterTab(frame.focusWidget(), true), controls.Item(order[i - 1]))
            << "Shift+Tab from " << order[i];
    }
}

constexpr DialogControl kTabControls[] = {
    {1, ControlKind::Edit, nullptr, 0, 0, 20, 12, kTabStop},
    {2, ControlKind::Edit, nullptr, 0, 14, 20, 12, kStyleNone},  // reached by a click only
    {IDC_STATIC, ControlKind::Static, "s", 0, 28, 20, 8, kAlignLeft},
    {3, ControlKind::Edit, nullptr, 0, 38, 20, 12, kTabStop | kDisabled},
    {4, ControlKind::PushButton, "Four", 0, 52, 20, 14, kTabStop},
    {5, ControlKind::PushButton, "Five", 0, 68, 20, 14, kTabStop | kHidden},
    {6, ControlKind::Edit, nullptr, 0, 84, 20, 12, kTabStop},
};
constexpr DialogTemplate kTabs = {8, nullptr, 40, 100, "MS Sans Serif", 8, false, kTabControls};

TEST(DialogBar, TabSkipsWhatCannotTakeItAndStaysInsideTheBar) {
    // The bar sits in a window with another field before and after it.
    QWidget frame;
    auto* layout = new QVBoxLayout(&frame);
    auto* before = new QLineEdit(&frame);
    auto* bar = new DialogBar(kTabs, &frame);
    auto* after = new QLineEdit(&frame);
    layout->addWidget(before);
    layout->addWidget(bar);
    layout->addWidget(after);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    DialogControls& c = bar->Controls();

    c.Item(1)->setFocus();
    EXPECT_EQ(AfterTab(c.Item(1)), c.Item(4));
    EXPECT_EQ(AfterTab(c.Item(4)), c.Item(6));
    EXPECT_EQ(AfterTab(c.Item(6)), c.Item(1));        // not on to the field after the bar
    EXPECT_EQ(AfterTab(c.Item(1), true), c.Item(6));  // nor back to the one before it
    EXPECT_EQ(AfterTab(c.Item(6), true), c.Item(4));
    // A field without a tab stop, focused by a click, tabs on to the next stop after it.
    QTest::mouseClick(c.Item(2), Qt::LeftButton);
    ASSERT_EQ(frame.focusWidget(), c.Item(2));
    EXPECT_EQ(AfterTab(c.Item(2)), c.Item(4));
    // A button shown and enabled later joins the cycle.
    c.Item(5)->show();
    EXPECT_EQ(AfterTab(c.Item(4)), c.Item(5));
    c.Item(3)->setEnabled(true);
    EXPECT_EQ(AfterTab(c.Item(4), true), c.Item(3));
    EXPECT_EQ(AfterTab(c.Item(1)), c.Item(3));
    // The only tab stop left keeps the focus.
    for (int id : {3, 4, 5, 6}) {
        c.Item(id)->setEnabled(false);
    }
    EXPECT_EQ(AfterTab(c.Item(1)), c.Item(1));
    EXPECT_EQ(AfterTab(c.Item(1), true), c.Item(1));
}

TEST(DialogBar, EnterAndEscInAFieldDoNothing) {
    // Inside a dialog, Enter and Esc would otherwise reach its default button or close it.
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* bar = new DialogBar(ControlPanelTemplate(), &dialog);
    auto* defaultButton = new QPushButton(QStringLiteral("Default"), &dialog);
    defaultButton->setDefault(true);
    layout->addWidget(bar);
    layout->addWidget(defaultButton);
    int defaultClicks = 0;
    QObject::connect(defaultButton, &QPushButton::clicked, [&] { ++defaultClicks; });
    std::vector<unsigned> commands;
    bar->Controls().onCommand = [&](unsigned id) { commands.push_back(id); };
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    auto* field = qobject_cast<QLineEdit*>(bar->Controls().Item(IDC_ANGLE_X));
    field->setFocus();
    field->setText(QStringLiteral("230"));
    field->setCursorPosition(1);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(field, key);
        EXPECT_TRUE(dialog.isVisible()) << key;
        EXPECT_EQ(field->text(), QStringLiteral("230")) << key;
        EXPECT_EQ(field->cursorPosition(), 1) << key;
        EXPECT_EQ(dialog.focusWidget(), field) << key;
    }
    EXPECT_EQ(defaultClicks, 0);
    EXPECT_TRUE(commands.empty());

    // A focused push button of the bar takes Enter and space as a click.
    QWidget* update = bar->Controls().Item(IDC_UPDATE);
    update->setFocus();
    QTest::keyClick(update, Qt::Key_Return);
    QTest::keyClick(update, Qt::Key_Space);
    EXPECT_EQ(commands, (std::vector<unsigned>{IDC_UPDATE, IDC_UPDATE}));
    QTest::keyClick(update, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(defaultClicks, 0);
}

constexpr DialogControl kBoxControls[] = {
    {IDC_STATIC, ControlKind::Static, "Text", 5, 5, 60, 8, kAlignLeft},
    {IDOK, ControlKind::DefPushButton, "OK", 70, 5, 40, 14, kTabStop | kGroupStart},
    {IDCANCEL, ControlKind::PushButton, "Cancel", 70, 22, 40, 14, kTabStop},
};
constexpr DialogTemplate kBox = {9, "A caption", 120, 40, "MS Sans Serif", 8, true, kBoxControls};

TEST(TemplateDialog, OkEnterEscAndTheCloseBoxEndIt) {
    QWidget owner;
    TemplateDialog dialog(kBox, &owner);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("A caption"));
    EXPECT_EQ(dialog.size(), dialog.Controls().PixelSize());
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    auto* ok = qobject_cast<QPushButton*>(dialog.Controls().Item(IDOK));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());

    // Run modally, the way the About box is run.
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Return); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);

    struct Way {
        const char* name;
        std::function<void()> act;
        int result;
    };
    const Way ways[] = {
        {"Esc", [&] { QTest::keyClick(&dialog, Qt::Key_Escape); }, QDialog::Rejected},
        {"Enter", [&] { QTest::keyClick(&dialog, Qt::Key_Return); }, QDialog::Accepted},
        {"keypad Enter", [&] { QTest::keyClick(&dialog, Qt::Key_Enter, Qt::KeypadModifier); },
         QDialog::Accepted},
        {"OK", [&] { QTest::mouseClick(ok, Qt::LeftButton); }, QDialog::Accepted},
        // Last: a clicked button keeps the focus, and a focused button takes Enter.
        {"Cancel", [&] { QTest::mouseClick(dialog.Controls().Item(IDCANCEL), Qt::LeftButton); },
         QDialog::Rejected},
        {"close box", [&] { dialog.close(); }, QDialog::Rejected},
    };
    for (const Way& way : ways) {
        dialog.setResult(-1);
        dialog.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog)) << way.name;
        way.act();
        EXPECT_FALSE(dialog.isVisible()) << way.name;
        EXPECT_EQ(dialog.result(), way.result) << way.name;
    }
}

TEST(TemplateDialog, TheAboutBox) {
    std::vector<std::string> asked;
    TemplateDialog about(AboutBoxTemplate(), nullptr, [&](const char* name) {
        asked.emplace_back(name);
        return TestIcon(name);
    });
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Kavelo"));
    EXPECT_EQ(about.size(),
              DialogUnitsToPixels(about.Controls().BaseUnits(), 0, 0, 235, 55).size());
    EXPECT_EQ(asked, std::vector<std::string>{"IDR_MAINFRAME"});
    EXPECT_EQ(about.Controls().GetDlgItemText(IDOK), "OK");
    EXPECT_TRUE(qobject_cast<QPushButton*>(about.Controls().Item(IDOK))->isDefault());
    EXPECT_EQ(about.Controls().InOrder()[0]->size(), QSize(32, 32));
    EXPECT_EQ(qobject_cast<QLabel*>(about.Controls().InOrder()[1])->text(),
              QStringLiteral("Kavelo Version 1.0"));
}

}  // namespace
