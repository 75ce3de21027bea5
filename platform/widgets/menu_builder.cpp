#include "platform/widgets/menu_builder.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QString>
#include <QStyleOptionMenuItem>
#include <QTimer>
#include <QVariant>
#include <memory>
#include <utility>

#include "platform/widgets/utf8_text.h"

namespace kavelo::platform::widgets {

using kavelo::resources::MenuEntry;
using kavelo::resources::MenuEntryKind;

namespace {

using SharedCallbacks = std::shared_ptr<const MenuCallbacks>;

// The state a command's entry shows, asked again each time its popup opens.
void UpdateAction(QAction* action, const MenuCallbacks& callbacks) {
    const unsigned id = action->data().toUInt();
    action->setEnabled(callbacks.enabled ? callbacks.enabled(id) : true);
    const std::optional<bool> checked = callbacks.checked ? callbacks.checked(id) : std::nullopt;
    action->setCheckable(checked.has_value());
    action->setChecked(checked.value_or(false));
}

QAction* AddCommand(QWidget* owner, const MenuEntry& entry, const SharedCallbacks& callbacks) {
    auto* action = new QAction(FromUtf8(entry.text), owner);
    action->setData(QVariant::fromValue(entry.id));
    action->setStatusTip(callbacks->prompt ? QString::fromStdString(callbacks->prompt(entry.id))
                                           : QString());
    const unsigned id = entry.id;
    QObject::connect(action, &QAction::triggered, action, [callbacks, id] {
        if (callbacks->command) {
            callbacks->command(id);
        }
    });
    owner->addAction(action);
    return action;
}

void FillMenu(QMenu* menu, std::span<const MenuEntry> entries, const SharedCallbacks& callbacks) {
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
            case MenuEntryKind::Separator:
                menu->addSeparator();
                break;
            case MenuEntryKind::Command:
                AddCommand(menu, entry, callbacks);
                break;
            case MenuEntryKind::Popup:
                FillMenu(menu->addMenu(FromUtf8(entry.text)), entry.children, callbacks);
                break;
        }
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, callbacks] {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->menu() == nullptr) {
                UpdateAction(action, *callbacks);
            }
        }
    });
}

// A lone Alt selects the bar, as on the design's platform: the toolkit does it when the style
// asks for it, which not every style does.
class AltKeyStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
    // A title selected from the keyboard is drawn as when its menu is open: some styles
    // highlight a title only then, which would leave the selection unseen.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item != nullptr && widget != nullptr &&
            widget->hasFocus() && (option->state & State_Selected) != 0) {
            QStyleOptionMenuItem selected(*item);
            selected.state |= State_Sunken;
            QProxyStyle::drawControl(element, &selected, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// The bar's keyboard selection: a lone Alt or F10 selects it with its first title highlighted,
// Esc or a second Alt or F10 leaves it. Closing a popup gives the keyboard back to the widget
// that had it at once, and so does anything that leaves the bar holding the keyboard with no
// title highlighted: the keys would vanish.
class KeyboardRelease : public QObject {
  public:
    explicit KeyboardRelease(QMenuBar* bar) : QObject(bar), m_bar(bar) {
        auto* style = new AltKeyStyle;
        style->setParent(bar);
        bar->setStyle(style);
        bar->installEventFilter(this);
        qApp->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (now == m_bar && old != nullptr && old->window() == m_bar->window()) {
                m_previous = old;
            }
        });
    }
    ~KeyboardRelease() override {
        if (qApp != nullptr) {
            qApp->removeEventFilter(this);
        }
    }

    void Watch(QMenu* menu) {
        connect(menu, &QMenu::aboutToHide, this, [this] { ReleaseLater(true); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_bar && event->type() == QEvent::FocusIn) {
            ReleaseLater(false);
        } else if (event->type() == QEvent::KeyPress && IsF10(watched, event)) {
            ToggleSelection();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool IsF10(QObject* watched, QEvent* event) const {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* receiver = qobject_cast<QWidget*>(watched);
        return key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == 0 &&
               receiver != nullptr && receiver->window() == m_bar->window() &&
               QApplication::activeModalWidget() == nullptr;
    }

    // F10 does what a lone Alt does: the bar's own watch sees Alt go down and come up alone.
    void ToggleSelection() {
        // A modifier key's own event names its modifier the other way round (Qt flips it).
        QKeyEvent down(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
        QApplication::sendEvent(m_bar->window(), &down);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
        QApplication::sendEvent(m_bar, &up);
    }

    // Once the event that gave the bar the keyboard, or closed its popup, has run to its end.
    void ReleaseLater(bool popupClosed) {
        QTimer::singleShot(0, this, [this, popupClosed] {
            if (popupClosed || m_bar->activeAction() == nullptr) {
                Release();
            }
        });
    }

    void Release() {
        if (!m_bar->hasFocus() || QApplication::activePopupWidget() != nullptr) {
            return;
        }
        if (m_previous != nullptr && m_previous->isVisible() &&
            m_previous->window() == m_bar->window()) {
            m_previous->setFocus(Qt::MenuBarFocusReason);
        } else {
            m_bar->clearFocus();
        }
    }

    QMenuBar* m_bar;
    QPointer<QWidget> m_previous;
};

void WatchPopups(QMenu* menu, KeyboardRelease* release) {
    release->Watch(menu);
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            WatchPopups(action->menu(), release);
        }
    }
}

}  // namespace

void BuildMenuBar(QMenuBar* bar, std::span<const MenuEntry> menu, MenuCallbacks callbacks) {
    if (bar == nullptr) {
        return;
    }
    const auto shared = std::make_shared<const MenuCallbacks>(std::move(callbacks));
    auto* release = new KeyboardRelease(bar);
    for (const MenuEntry& entry : menu) {
        switch (entry.kind) {
            case MenuEntryKind::Popup: {
                QMenu* popup = bar->addMenu(FromUtf8(entry.text));
                FillMenu(popup, entry.children, shared);
                WatchPopups(popup, release);
                break;
            }
            case MenuEntryKind::Command:
                // A command on the bar itself has no popup to open: its state is set once.
                UpdateAction(AddCommand(bar, entry, shared), *shared);
                break;
            case MenuEntryKind::Separator:
                bar->addSeparator();
                break;
        }
    }
}

}  // namespace kavelo::platform::widgets
