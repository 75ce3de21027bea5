#include "platform/widgets/digits_only.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>

namespace kavelo::platform::widgets {

namespace {

constexpr const char* kFilterName = "kavelo-digits-only";

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

QString DigitsOf(const QString& text) {
    QString digits;
    for (QChar c : text) {
        if (IsDigit(c)) {
            digits.append(c);
        }
    }
    return digits;
}

class DigitsOnlyFilter : public QObject {
  public:
    explicit DigitsOnlyFilter(QObject* parent) : QObject(parent) { setObjectName(kFilterName); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            IsRefusedByDigitsOnly(*static_cast<QKeyEvent*>(event))) {
            return true;
        }
        if (event->type() == QEvent::InputMethod) {
            // Composed text arrives without a key press; keep only its digits.
            auto* ime = static_cast<QInputMethodEvent*>(event);
            const QString commit = ime->commitString();
            const QString digits = DigitsOf(commit);
            if (digits != commit) {
                ime->setCommitString(digits, ime->replacementStart(), ime->replacementLength());
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

bool IsRefusedByDigitsOnly(const QKeyEvent& e) {
    // Ctrl or Ctrl+Shift alone is a shortcut (copy, paste, select all) that the field never
    // types. With anything else held (Ctrl+Alt is AltGr, Ctrl on the keypad) it does type.
    const Qt::KeyboardModifiers mods = e.modifiers();
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        return false;
    }
    const QString text = e.text();
    for (QChar c : text) {
        if (c.isPrint() && !IsDigit(c)) {
            return true;
        }
    }
    return false;
}

void MakeDigitsOnly(QLineEdit* field) {
    if (field == nullptr ||
        field->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly) != nullptr) {
        return;
    }
    field->installEventFilter(new DigitsOnlyFilter(field));
    field->setInputMethodHints(field->inputMethodHints() | Qt::ImhDigitsOnly);
}

}  // namespace kavelo::platform::widgets
