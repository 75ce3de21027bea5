// The resource tables and the message maps agree: nothing the user can pick or press is lost
// on its way.
#include <gtest/gtest.h>

#include <set>
#include <span>

#include "shell/main_frame.h"
#include "shell/resources/resources.h"
#include "shell/scene_app.h"
#include "shell/scene_doc.h"
#include "view/scene_view.h"

using kavelo::platform::framework::MessageMapEntry;
using kavelo::resources::AcceleratorEntry;
using kavelo::resources::ControlKind;
using kavelo::resources::ControlPanelTemplate;
using kavelo::resources::DialogControl;
using kavelo::resources::kHidden;
using kavelo::resources::MainAccelerators;
using kavelo::resources::MainMenu;
using kavelo::resources::MenuEntry;
using kavelo::resources::MenuEntryKind;

namespace {

template <class T>
void AddHandled(std::set<unsigned>& handled, std::span<const MessageMapEntry<T>> map) {
    for (const MessageMapEntry<T>& entry : map) {
        // Two entries of one map with the same identifier would leave one handler unreachable.
        EXPECT_TRUE(handled.insert(entry.id).second) << "bound twice: " << entry.id;
        EXPECT_TRUE(entry.Bound()) << entry.id;
    }
}

std::set<unsigned> HandledOnTheRoute() {
    std::set<unsigned> handled;
    AddHandled(handled, CSceneView::GetMessageMap());
    AddHandled(handled, CSceneDoc::GetMessageMap());
    AddHandled(handled, CMainFrame::GetMessageMap());
    AddHandled(handled, CSceneApp::GetMessageMap());
    return handled;
}

TEST(CommandTables, EveryMenuKeyAndButtonCommandIsRouted) {
    const std::set<unsigned> handled = HandledOnTheRoute();
    for (const MenuEntry& popup : MainMenu()) {
        for (const MenuEntry& item : popup.children) {
            if (item.kind == MenuEntryKind::Command) {
                EXPECT_TRUE(handled.contains(item.id)) << "menu: " << item.text;
            }
        }
    }
    for (const AcceleratorEntry& key : MainAccelerators()) {
        EXPECT_TRUE(handled.contains(key.command)) << "key: " << key.virtualKey;
    }
    for (const DialogControl& control : ControlPanelTemplate().controls) {
        const bool button =
            control.kind == ControlKind::PushButton || control.kind == ControlKind::DefPushButton;
        if (button && (control.style & kHidden) == 0) {
            EXPECT_TRUE(handled.contains(static_cast<unsigned>(control.id))) << control.text;
        }
    }
}

}  // namespace
