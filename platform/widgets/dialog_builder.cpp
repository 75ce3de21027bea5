#include "platform/widgets/dialog_builder.h"

#include <qdrawutil.h>
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/widgets/digits_only.h"
#include "platform/widgets/utf8_text.h"
#include "shell/resources/resource_ids.h"

namespace kavelo::platform::widgets {

using kavelo::resources::ControlKind;
using kavelo::resources::DialogControl;
using kavelo::resources::DialogTemplate;
using kavelo::resources::kAlignCenter;
using kavelo::resources::kAlignRight;
using kavelo::resources::kBorder;
using kavelo::resources::kDigitsOnly;
using kavelo::resources::kDisabled;
using kavelo::resources::kHidden;
using kavelo::resources::kNoPrefix;
using kavelo::resources::kStaticEdge;
using kavelo::resources::kTabStop;

namespace {

// a * b / c rounded to the nearest integer, halves away from zero, without overflow.
int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    std::int64_t product = std::int64_t{a} * b;
    std::int64_t divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const std::int64_t half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

Qt::Alignment StaticAlignment(unsigned style) {
    // Native static texts draw from the top of their rectangle.
    if (style & kAlignRight) {
        return Qt::AlignRight | Qt::AlignTop;
    }
    if (style & kAlignCenter) {
        return Qt::AlignHCenter | Qt::AlignTop;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

// "&&" stays a literal ampersand, a single "&" only marks the access key.
QString WithoutAccessMarks(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                shown.append(u'&');
                ++i;
            }
            continue;
        }
        shown.append(text[i]);
    }
    return shown;
}

// A native group box draws its frame from the middle of its title line, with the title laid over
// the frame's top edge; most Qt styles put the title above the frame instead, which would push
// the frame into the fields placed just below its top.
class TemplateGroupBox : public QGroupBox {
  public:
    TemplateGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        // An etched line, as native group boxes have.
        qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2 - 1, 0, 0), palette(),
                       true, 1, 0);
        const QString text = title();
        if (text.isEmpty()) {
            return;
        }
        constexpr int kTitleLeft = 7;
        constexpr int kTitlePad = 2;
        const int titleWidth = metrics.size(Qt::TextShowMnemonic, text).width() + 2 * kTitlePad;
        const QRect titleRect(kTitleLeft, 0, std::min(titleWidth, width() - kTitleLeft),
                              metrics.height());
        painter.fillRect(titleRect, palette().brush(backgroundRole()));
        style()->drawItemText(&painter, titleRect, Qt::AlignCenter | Qt::TextShowMnemonic,
                              palette(), isEnabled(), text, QPalette::WindowText);
    }
};

bool TakesTabFocus(const QWidget* widget, const QWidget* container) {
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
           widget->isVisibleTo(container);
}

}  // namespace

QFont DialogFont(const char* name, int pointSize) {
    QFont font(FromUtf8(name), pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogBaseUnits BaseUnitsForFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(width / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(const DialogBaseUnits& b, int x, int y, int w, int h) {
    return QRect(MulDiv(x, b.x, 4), MulDiv(y, b.y, 8), MulDiv(w, b.x, 4), MulDiv(h, b.y, 8));
}

namespace {

// What the controls of a template need once all of them exist.
struct PendingLinks {
    std::vector<QGroupBox*> groupBoxes;
    std::vector<QLabel*> prefixStatics;  // statics whose "&" needs a control to jump to
};

QLineEdit* MakeEdit(QWidget* host, const QString& text, unsigned style) {
    auto* edit = new QLineEdit(host);
    edit->setFrame((style & kBorder) != 0);
    if (style & kDigitsOnly) {
        MakeDigitsOnly(edit);
    }
    // The field scrolls sideways whether or not kAutoHScroll is given.
    edit->setText(text);
    edit->setCursorPosition(0);
    edit->setFocusPolicy((style & kTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
    return edit;
}

QLabel* MakeStatic(QWidget* host, const QString& text, unsigned style, PendingLinks& pending) {
    auto* label = new QLabel(host);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(StaticAlignment(style));
    label->setText(text);
    if (!(style & kNoPrefix) && text.contains(u'&')) {
        pending.prefixStatics.push_back(label);
    }
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

// A push button with a thin sunken edge (WS_EX_STATICEDGE) in its outer pixel, the button
// itself inside it.
class StaticEdgeButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.rect.adjust(1, 1, -1, -1);
        painter.drawControl(QStyle::CE_PushButton, option);
        qDrawShadeRect(&painter, rect(), palette(), true, 1);
    }
};

// A click issues the button's id through `onCommand` as it is at the time of the click.
QPushButton* MakeButton(QWidget* host, const QString& text, const DialogControl& control,
                        const std::function<void(unsigned)>& onCommand,
                        std::vector<QMetaObject::Connection>& connections) {
    auto* button = (control.style & kStaticEdge) ? new StaticEdgeButton(text, host)
                                                 : new QPushButton(text, host);
    button->setDefault(control.kind == ControlKind::DefPushButton);
    button->setFocusPolicy((control.style & kTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
    const unsigned id = static_cast<unsigned>(control.id);
    connections.push_back(QObject::connect(button, &QPushButton::clicked, button, [&onCommand, id] {
        if (onCommand) {
            // A copy: the command may end the dialog that owns these controls.
            const std::function<void(unsigned)> command = onCommand;
            command(id);
        }
    }));
    return button;
}

QLabel* MakeIcon(QWidget* host, const char* name,
                 const std::function<QPixmap(const char* iconName)>& icons) {
    auto* label = new QLabel(host);
    label->setFocusPolicy(Qt::NoFocus);
    if (icons) {
        label->setPixmap(icons(name));
    }
    return label;
}

// The control's rectangle in pixels. An icon control takes the size of its icon, whatever the
// template says.
QRect ControlRect(const DialogBaseUnits& base, const DialogControl& control, QWidget* widget) {
    QRect rect = DialogUnitsToPixels(base, control.x, control.y, control.width, control.height);
    if (control.kind == ControlKind::Icon) {
        if (const QPixmap pixmap = static_cast<QLabel*>(widget)->pixmap(); !pixmap.isNull()) {
            rect.setSize(pixmap.deviceIndependentSize().toSize());
        }
    }
    return rect;
}

// The access key of a static text moves the focus to the next tab stop after it; a static with
// no tab stop after it shows its text without the marks.
void LinkAccessKeys(const std::vector<QLabel*>& prefixStatics,
                    const std::vector<QWidget*>& inOrder) {
    for (QLabel* label : prefixStatics) {
        QWidget* buddy = nullptr;
        bool after = false;
        for (QWidget* widget : inOrder) {
            if (widget == label) {
                after = true;
            } else if (after && (widget->focusPolicy() & Qt::TabFocus)) {
                buddy = widget;
                break;
            }
        }
        if (buddy != nullptr) {
            label->setBuddy(buddy);
        } else {
            label->setText(WithoutAccessMarks(label->text()));
        }
    }
}

QWidget* MakeControl(const DialogControl& control, QWidget* host,
                     const std::function<QPixmap(const char* iconName)>& icons,
                     const std::function<void(unsigned)>& onCommand,
                     std::vector<QMetaObject::Connection>& connections, PendingLinks& pending) {
    const QString text = FromUtf8(control.text);
    switch (control.kind) {
        case ControlKind::Edit:
            return MakeEdit(host, text, control.style);
        case ControlKind::Static:
            return MakeStatic(host, text, control.style, pending);
        case ControlKind::GroupBox: {
            auto* box = new TemplateGroupBox(text, host);
            box->setFocusPolicy(Qt::NoFocus);
            pending.groupBoxes.push_back(box);
            return box;
        }
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
            return MakeButton(host, text, control, onCommand, connections);
        case ControlKind::Icon:
            return MakeIcon(host, control.text, icons);
    }
    return new QWidget(host);  // a kind this builder does not know: an empty place
}

}  // namespace

DialogControls::DialogControls(const DialogTemplate& t, QWidget* host,
                               const std::function<QPixmap(const char* iconName)>& icons) {
    const QFont font = t.fontName != nullptr ? DialogFont(t.fontName, t.pointSize) : host->font();
    host->setFont(font);
    m_base = BaseUnitsForFont(font);
    m_pixelSize = DialogUnitsToPixels(m_base, 0, 0, t.width, t.height).size();

    PendingLinks pending;
    m_widgets.reserve(t.controls.size());
    m_ids.reserve(t.controls.size());
    for (const DialogControl& control : t.controls) {
        QWidget* widget = MakeControl(control, host, icons, onCommand, m_connections, pending);
        widget->setGeometry(ControlRect(m_base, control, widget));
        widget->setEnabled(!(control.style & kDisabled));
        widget->setVisible(!(control.style & kHidden));
        m_widgets.push_back(widget);
        m_ids.push_back(control.id);
    }

    // Group boxes are frames drawn behind the fields they surround, not their parents.
    for (QGroupBox* box : pending.groupBoxes) {
        box->lower();
    }
    LinkAccessKeys(pending.prefixStatics, m_widgets);
}

DialogControls::~DialogControls() {
    for (const QMetaObject::Connection& connection : m_connections) {
        QObject::disconnect(connection);
    }
}

QWidget* DialogControls::Item(int id) const {
    for (std::size_t i = 0; i < m_widgets.size(); ++i) {
        if (m_ids[i] == id) {
            return m_widgets[i];
        }
    }
    return nullptr;
}

std::string DialogControls::GetDlgItemText(int id) const {
    QWidget* widget = Item(id);
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        text = edit->text();
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        text = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        text = button->text();
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        text = box->title();
    }
    return text.toStdString();
}

void DialogControls::SetDlgItemText(int id, std::string_view text) {
    QWidget* widget = Item(id);
    const QString value = FromUtf8(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // As in a native field: caret at the start, so a long number shows its first digits.
        edit->setText(value);
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(value);
    }
}

DialogBar::DialogBar(const DialogTemplate& t, QWidget* parent)
    : QWidget(parent), m_controls(t, this) {
    setFixedWidth(m_controls.PixelSize().width());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setAutoFillBackground(true);
    for (QWidget* widget : m_controls.InOrder()) {
        // The native dialog manager clicks a focused push button on Enter.
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setAutoDefault(true);
        }
    }
}

void DialogBar::SetBarStyle(unsigned style) {
    m_barStyle = style;
    setFixedWidth(sizeHint().width());
    update();
}

// The style's sunken separator line, as wide as it draws it.
int DialogBar::BorderWidth() const {
    return (m_barStyle & CBRS_BORDER_RIGHT) != 0 ? 2 : 0;
}

QSize DialogBar::sizeHint() const {
    return m_controls.PixelSize() + QSize(BorderWidth(), 0);
}

void DialogBar::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (BorderWidth() == 0) {
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame line;
    line.initFrom(this);
    line.rect = QRect(width() - BorderWidth(), 0, BorderWidth(), height());
    line.frameShape = QFrame::VLine;
    line.state |= QStyle::State_Sunken;
    line.lineWidth = 1;
    line.midLineWidth = 0;
    style()->drawControl(QStyle::CE_ShapedFrame, &line, &painter, this);
}

bool DialogBar::focusNextPrevChild(bool next) {
    const std::vector<QWidget*>& controls = m_controls.InOrder();
    QWidget* focus = window()->focusWidget();
    std::size_t current = controls.size();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (focus == controls[i] || controls[i]->isAncestorOf(focus)) {
            current = i;
            break;
        }
    }
    if (current == controls.size()) {
        return QWidget::focusNextPrevChild(next);
    }
    const std::size_t count = controls.size();
    for (std::size_t step = 1; step < count; ++step) {
        const std::size_t i = next ? (current + step) % count : (current + count - step) % count;
        if (TakesTabFocus(controls[i], this)) {
            controls[i]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;  // the only tab stop keeps the focus
}

void DialogBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // A field passes these on; the bar has no default or cancel button to give them to.
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

TemplateDialog::TemplateDialog(const DialogTemplate& t, QWidget* parent,
                               std::function<QPixmap(const char* iconName)> icons)
    : QDialog(parent), m_controls(t, this, icons) {
    // A caption with a system menu and a close box; nothing to minimise or maximise, which would
    // take the whole program with a modal box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(FromUtf8(t.caption));
    setFixedSize(m_controls.PixelSize());
    setModal(true);
    m_controls.onCommand = [this](unsigned id) {
        if (id == IDOK) {
            accept();
        } else if (id == IDCANCEL) {
            reject();
        }
    };
}

// Some window managers offer every dialog a minimise button, whatever its hints say, and take the
// owner along: the program would vanish behind a modal box nobody can reach.
void TemplateDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized()) {
        return;
    }
    QTimer::singleShot(0, this, [this] {
        for (QWidget* window : {parentWidget() != nullptr ? parentWidget()->window() : nullptr,
                                static_cast<QWidget*>(this)}) {
            if (window != nullptr && window->isMinimized()) {
                window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            }
        }
        activateWindow();
    });
}

}  // namespace kavelo::platform::widgets
