// Key events as the platform plugins deliver them, native keysym included, become the key
// table's virtual keys and modifiers; no window is needed.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <optional>

#include "platform/framework/accelerator_filter.h"
#include "shell/resources/resource_ids.h"

using kavelo::platform::framework::kHeldMeta;
using kavelo::platform::framework::VirtualKeyFromEvent;
using kavelo::platform::framework::VirtualKeyPress;

namespace {

constexpr unsigned kNone = ~0u;  // the key is outside the table's vocabulary

TEST(VirtualKeyFromEvent, MapsKeysByWhatTheyAreWithEveryModifierHeld) {
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        quint32 keysym;  // X keysym, 0 where a platform reports none
        unsigned vk;
        unsigned held;
    };
    const Case cases[] = {
        {Qt::Key_Left, Qt::NoModifier, 0xff51, VK_LEFT, 0},
        {Qt::Key_Right, Qt::NoModifier, 0xff53, VK_RIGHT, 0},
        {Qt::Key_Up, Qt::NoModifier, 0xff52, VK_UP, 0},
        {Qt::Key_Down, Qt::NoModifier, 0xff54, VK_DOWN, 0},
        {Qt::Key_PageUp, Qt::NoModifier, 0xff55, VK_PRIOR, 0},
        {Qt::Key_PageDown, Qt::NoModifier, 0xff56, VK_NEXT, 0},
        // The keypad's arrows and page keys (Num Lock off) are the same keys.
        {Qt::Key_Left, Qt::KeypadModifier, 0xff96, VK_LEFT, 0},
        {Qt::Key_PageDown, Qt::KeypadModifier, 0xff9b, VK_NEXT, 0},
        // Keypad plus and minus: by the keypad flag (xcb) or by the keysym alone (Wayland).
        {Qt::Key_Plus, Qt::KeypadModifier, 0xffab, VK_ADD, 0},
        {Qt::Key_Minus, Qt::KeypadModifier, 0xffad, VK_SUBTRACT, 0},
        {Qt::Key_Plus, Qt::KeypadModifier, 0, VK_ADD, 0},
        {Qt::Key_Plus, Qt::NoModifier, 0xffab, VK_ADD, 0},
        {Qt::Key_Minus, Qt::NoModifier, 0xffad, VK_SUBTRACT, 0},
        // The main keyboard's plus and minus are other keys.
        {Qt::Key_Plus, Qt::ShiftModifier, 0x2b, VK_OEM_PLUS, FSHIFT},
        {Qt::Key_Equal, Qt::NoModifier, 0x3d, VK_OEM_PLUS, 0},
        {Qt::Key_Minus, Qt::NoModifier, 0x2d, VK_OEM_MINUS, 0},
        {Qt::Key_Underscore, Qt::ShiftModifier, 0x5f, VK_OEM_MINUS, FSHIFT},
        // Each modifier on its own and together; Super is one, the keypad flag is not.
        {Qt::Key_Right, Qt::ControlModifier, 0xff53, VK_RIGHT, FCONTROL},
        {Qt::Key_Right, Qt::AltModifier, 0xff53, VK_RIGHT, FALT},
        {Qt::Key_Right, Qt::MetaModifier, 0xff53, VK_RIGHT, kHeldMeta},
        {Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier, 0xff96, VK_LEFT,
         FCONTROL | FALT},
        {Qt::Key_Plus, Qt::MetaModifier, 0xffab, VK_ADD, kHeldMeta},
        // Outside the vocabulary.
        {Qt::Key_A, Qt::NoModifier, 0x61, kNone, 0},
        {Qt::Key_Home, Qt::NoModifier, 0xff50, kNone, 0},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 0xffaa, kNone, 0},
        {Qt::Key_Control, Qt::ControlModifier, 0xffe3, kNone, 0},
    };
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.mods, 0, c.keysym, 0);
        const std::optional<VirtualKeyPress> press = VirtualKeyFromEvent(event);
        SCOPED_TRACE(testing::Message() << "Qt key 0x" << std::hex << c.key << " keysym 0x"
                                        << c.keysym << " modifiers 0x" << c.mods.toInt());
        if (c.vk == kNone) {
            EXPECT_FALSE(press.has_value());
            continue;
        }
        ASSERT_TRUE(press.has_value());
        EXPECT_EQ(press->virtualKey, c.vk);
        EXPECT_EQ(press->modifiers, c.held);
    }
}

}  // namespace
