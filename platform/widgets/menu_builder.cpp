#include "platform/widgets/menu_builder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QString>
#include <QVariant>
#include <memory>
#include <utility>

#include "platform/widgets/utf8_text.h"

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

}  // namespace

void BuildMenuBar(QMenuBar* bar, std::span<const MenuEntry> menu, MenuCallbacks callbacks) {
    if (bar == nullptr) {
        return;
    }
    const auto shared = std::make_shared<const MenuCallbacks>(std::move(callbacks));
    for (const MenuEntry& entry : menu) {
        switch (entry.kind) {
            case MenuEntryKind::Popup:
                FillMenu(bar->addMenu(FromUtf8(entry.text)), entry.children, shared);
                break;
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
