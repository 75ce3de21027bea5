#include "platform/framework/accelerator_filter.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>

#include "shell/resources/resources.h"

namespace kavelo::platform::framework {

using kavelo::resources::AcceleratorEntry;

unsigned TranslateAccelerator(std::span<const AcceleratorEntry> table, unsigned virtualKey,
                              unsigned heldModifiers) {
    // The held modifiers must equal the entry's exactly: Shift+Right or Alt+Right is not Right.
    constexpr unsigned kHeldModifiers = FSHIFT | FCONTROL | FALT | kHeldMeta;
    const unsigned held = heldModifiers & kHeldModifiers;
    for (const AcceleratorEntry& entry : table) {
        if (entry.virtualKey == virtualKey && (entry.flags & kHeldModifiers) == held) {
            return entry.command;
        }
    }
    return 0;
}

namespace {

// X keysyms of the keypad's plus and minus, which xcb and Wayland alike report as the native key.
constexpr quint32 kKeysymKeypadAdd = 0xffab;
constexpr quint32 kKeysymKeypadSubtract = 0xffad;

unsigned HeldModifiers(Qt::KeyboardModifiers mods) {
    unsigned held = 0;
    if (mods.testFlag(Qt::ShiftModifier)) {
        held |= FSHIFT;
    }
    if (mods.testFlag(Qt::ControlModifier)) {
        held |= FCONTROL;
    }
    if (mods.testFlag(Qt::AltModifier)) {
        held |= FALT;
    }
    if (mods.testFlag(Qt::MetaModifier)) {
        held |= kHeldMeta;
    }
    return held;
}

}  // namespace

std::optional<VirtualKeyPress> VirtualKeyFromEvent(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    // Qt's Wayland plugin delivers the keypad's plus as Key_Plus without the keypad flag.
    const quint32 keysym = event.nativeVirtualKey();
    const bool keypad = mods.testFlag(Qt::KeypadModifier);
    unsigned vk = 0;
    switch (event.key()) {
        // With Num Lock off the keypad sends these too; they are the same keys to the table.
        case Qt::Key_Left:
            vk = VK_LEFT;
            break;
        case Qt::Key_Right:
            vk = VK_RIGHT;
            break;
        case Qt::Key_Up:
            vk = VK_UP;
            break;
        case Qt::Key_Down:
            vk = VK_DOWN;
            break;
        case Qt::Key_PageUp:
            vk = VK_PRIOR;
            break;
        case Qt::Key_PageDown:
            vk = VK_NEXT;
            break;
        case Qt::Key_Plus:
            vk = keypad || keysym == kKeysymKeypadAdd ? VK_ADD : VK_OEM_PLUS;
            break;
        case Qt::Key_Minus:
            vk = keypad || keysym == kKeysymKeypadSubtract ? VK_SUBTRACT : VK_OEM_MINUS;
            break;
        // The main keyboard's plus and minus keys, unshifted and shifted.
        case Qt::Key_Equal:
            vk = VK_OEM_PLUS;
            break;
        case Qt::Key_Underscore:
            vk = VK_OEM_MINUS;
            break;
        default:
            return std::nullopt;
    }
    return VirtualKeyPress{vk, HeldModifiers(mods)};
}

AcceleratorFilter::AcceleratorFilter(QWidget* frame, std::span<const AcceleratorEntry> table,
                                     std::span<CCmdTarget* const> route, QObject* parent)
    : QObject(parent), m_pFrame(frame), m_table(table.begin(), table.end()), m_route(route) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
    }
}

AcceleratorFilter::~AcceleratorFilter() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
}

unsigned AcceleratorFilter::Translate(QObject* watched, QEvent* event) const {
    // Key events reach the window object first and then the focused widget; only the widget's
    // delivery is looked at, so that each press is translated once.
    auto* receiver = qobject_cast<QWidget*>(watched);
    if (receiver == nullptr || m_pFrame == nullptr) {
        return 0;
    }
    if (receiver != m_pFrame && !m_pFrame->isAncestorOf(receiver)) {
        return 0;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        return 0;
    }
    // A menu bar in keyboard navigation holds the focus and keeps its arrows, as inside a native
    // menu loop; a key it ignores and passes up to its parents stays untranslated too.
    if (qobject_cast<QMenuBar*>(receiver) != nullptr ||
        qobject_cast<QMenuBar*>(receiver->window()->focusWidget()) != nullptr) {
        return 0;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    const std::optional<VirtualKeyPress> press = VirtualKeyFromEvent(*key);
    if (!press) {
        return 0;
    }
    return TranslateAccelerator(m_table, press->virtualKey, press->modifiers);
}

bool AcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) {
        return QObject::eventFilter(watched, event);
    }
    const unsigned command = Translate(watched, event);
    if (command == 0) {
        return QObject::eventFilter(watched, event);
    }
    // Accepting the override keeps the key from any shortcut; the press that follows is ours.
    event->accept();
    if (type == QEvent::KeyPress) {
        // The command may end the frame and this filter with it, which RouteCommand allows.
        RouteCommand(m_route, command,
                     InputMadeAt(static_cast<const QKeyEvent*>(event)->timestamp()));
    }
    return true;
}

}  // namespace kavelo::platform::framework
