// Key events as the platform plugins deliver them, native keysym included, become the key
// table's keys and modifiers; no window is needed.
#include <gtest/gtest.h>

#include <QInputDevice>
#include <QKeyEvent>

#include "platform/framework/accelerator_filter.h"
#include "shell/resources/resource_ids.h"

using kavelo::platform::framework::kHeldMeta;
using kavelo::platform::framework::VirtualKeyFromEvent;
using kavelo::platform::framework::VirtualKeyPress;

namespace {

TEST(VirtualKeyFromEvent, KeysByWhatTheyAreAndEveryModifierHeld) {
    constexpr auto kKeypad = Qt::KeypadModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        quint32 keysym;  // X keysym; 0 where a platform gives none
        unsigned vk;     // 0: outside the table's keys
        unsigned held;
    } cases[] = {
        // Keypad plus and minus by the keypad flag (xcb), or by their keysym alone (Wayland).
        {Qt::Key_Plus, kKeypad, 0, VK_ADD, 0},
        {Qt::Key_Plus, Qt::NoModifier, 0xffab, VK_ADD, 0},
        {Qt::Key_Minus, Qt::NoModifier, 0xffad, VK_SUBTRACT, 0},
        // The main keyboard's plus and minus, unshifted and shifted, are other keys.
        {Qt::Key_Plus, Qt::ShiftModifier, 0x2b, VK_OEM_PLUS, FSHIFT},
        {Qt::Key_Equal, Qt::NoModifier, 0x3d, VK_OEM_PLUS, 0},
        {Qt::Key_Minus, Qt::NoModifier, 0x2d, VK_OEM_MINUS, 0},
        {Qt::Key_Underscore, Qt::ShiftModifier, 0x5f, VK_OEM_MINUS, FSHIFT},
        // The keypad's arrows (Num Lock off) are the arrows; the keypad flag is no modifier, Super
        // is.
        {Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier | kKeypad, 0xff96, VK_LEFT,
         FCONTROL | FALT},
        {Qt::Key_Right, Qt::MetaModifier, 0xff53, VK_RIGHT, kHeldMeta},
        {Qt::Key_A, Qt::NoModifier, 0x61, 0, 0},
        {Qt::Key_Asterisk, kKeypad, 0xffaa, 0, 0},
    };
    const QInputDevice keyboard;  // Qt's own would outlive the test without an application
    for (const auto& c : cases) {
        const auto press = VirtualKeyFromEvent(
            QKeyEvent(QEvent::KeyPress, c.key, c.mods, 0, c.keysym, 0, {}, false, 1, &keyboard));
        SCOPED_TRACE(testing::Message()
                     << "key 0x" << std::hex << c.key << " keysym 0x" << c.keysym);
        EXPECT_EQ(press.has_value(), c.vk != 0);
        EXPECT_EQ(press.value_or(VirtualKeyPress{}).virtualKey, c.vk);
        EXPECT_EQ(press.value_or(VirtualKeyPress{}).modifiers, c.held);
    }
}

}  // namespace
