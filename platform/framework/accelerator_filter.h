// The frame's key table: keys pressed anywhere inside the frame become commands before the
// focused widget sees them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <optional>
#include <span>
#include <vector>

#include "platform/framework/command_routing.h"
#include "shell/resources/resource_types.h"

class QEvent;
class QKeyEvent;

namespace kavelo::platform::framework {

// Super (Meta) held: no entry of a key table carries it, so a key pressed with it matches none.
inline constexpr unsigned kHeldMeta = 0x100;

// Looks a key up: `virtualKey` with the modifiers held (FSHIFT | FCONTROL | FALT | kHeldMeta
// bits). Returns the command of the first entry whose key and modifiers match exactly, 0 when
// none does.
unsigned TranslateAccelerator(std::span<const kavelo::resources::AcceleratorEntry> table,
                              unsigned virtualKey, unsigned heldModifiers);

struct VirtualKeyPress {
    unsigned virtualKey;  // VK_*
    unsigned modifiers;   // FSHIFT | FCONTROL | FALT | kHeldMeta as held
};

// The virtual key of a key event: arrows, Page Up and Page Down (with or without the keypad
// flag), keypad plus and minus (VK_ADD, VK_SUBTRACT: the keypad flag or, where the platform drops
// that flag, the keypad's own keysym tells them) and the main keyboard's plus and minus keys
// (VK_OEM_PLUS, VK_OEM_MINUS). Other keys give nullopt.
std::optional<VirtualKeyPress> VirtualKeyFromEvent(const QKeyEvent& event);

// Installed on the application: translates key presses, auto-repeat included, whose receiver lies
// inside `frame`, while no modal widget is active, into commands sent along `route` (held by the
// frame, which outlives the filter) with the time the press was made. A translated key is
// consumed, its shortcut override too, so that neither the focused widget nor a shortcut sees it.
class AcceleratorFilter : public QObject {
    Q_OBJECT
  public:
    AcceleratorFilter(QWidget* frame, std::span<const kavelo::resources::AcceleratorEntry> table,
                      std::span<CCmdTarget* const> route, QObject* parent = nullptr);
    ~AcceleratorFilter() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    unsigned Translate(QObject* watched, QEvent* event) const;

    QPointer<QWidget> m_pFrame;
    std::vector<kavelo::resources::AcceleratorEntry> m_table;
    std::span<CCmdTarget* const> m_route;
};

}  // namespace kavelo::platform::framework
