#include "platform/widgets/menu_builder.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QString>
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

// Gives the keyboard back to the widget that had it as soon as the bar holds it with no popup
// open. The toolkit keeps the bar in keyboard navigation after Esc closes a popup or after a
// lone Alt, and the current style may not show its highlighted title: the keys would vanish.
class KeyboardRelease : public QObject {
  public:
    explicit KeyboardRelease(QMenuBar* bar) : QObject(bar), m_bar(bar) {
        bar->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (now == m_bar && old != nullptr && old->window() == m_bar->window()) {
                m_previous = old;
            }
        });
    }

    void Watch(QMenu* menu) {
        connect(menu, &QMenu::aboutToHide, this, &KeyboardRelease::ReleaseLater);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_bar && event->type() == QEvent::FocusIn) {
            ReleaseLater();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    // Once the event that gave the bar the keyboard, or closed its popup, has run to its end.
    void ReleaseLater() { QTimer::singleShot(0, this, &KeyboardRelease::Release); }

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
