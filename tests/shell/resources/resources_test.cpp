#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "shell/resources/resources.h"

using kavelo::resources::AboutBoxTemplate;
using kavelo::resources::ControlKind;
using kavelo::resources::ControlPanelTemplate;
using kavelo::resources::DialogControl;
using kavelo::resources::DialogTemplate;
using kavelo::resources::DocumentString;
using kavelo::resources::IconImage;
using kavelo::resources::kAlignLeft;
using kavelo::resources::kAutoHScroll;
using kavelo::resources::kBorder;
using kavelo::resources::kDigitsOnly;
using kavelo::resources::kDisabled;
using kavelo::resources::kGroupStart;
using kavelo::resources::kHidden;
using kavelo::resources::kNoPrefix;
using kavelo::resources::kStaticEdge;
using kavelo::resources::kTabStop;
using kavelo::resources::MainAccelerators;
using kavelo::resources::MainIcon;
using kavelo::resources::MainMenu;
using kavelo::resources::MenuEntry;
using kavelo::resources::MenuEntryKind;
using kavelo::resources::StringEntry;
using kavelo::resources::StringTable;
using kavelo::resources::Version;
using kavelo::resources::VersionInfo;

namespace {

TEST(Resources, MenuHasThreePopupsWithoutKeyNames) {
    const auto menu = MainMenu();
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_STREQ(menu[0].text, "&File");
    EXPECT_STREQ(menu[1].text, "&Control");
    EXPECT_STREQ(menu[2].text, "&Help");
    for (const MenuEntry& popup : menu) {
        EXPECT_EQ(popup.kind, MenuEntryKind::Popup);
    }
    const auto file = menu[0].children;
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(file[0].id, ID_FILE_RESTART);
    EXPECT_STREQ(file[0].text, "&Restart");
    EXPECT_EQ(file[1].kind, MenuEntryKind::Separator);
    EXPECT_EQ(file[1].text, nullptr);
    EXPECT_EQ(file[2].id, ID_APP_EXIT);
    EXPECT_STREQ(file[2].text, "E&xit");
    ASSERT_EQ(menu[1].children.size(), 1u);
    EXPECT_EQ(menu[1].children[0].id, ID_VIEW_STATUS_BAR);
    EXPECT_STREQ(menu[1].children[0].text, "&Status Bar");
    ASSERT_EQ(menu[2].children.size(), 1u);
    EXPECT_EQ(menu[2].children[0].id, ID_APP_ABOUT);
    EXPECT_STREQ(menu[2].children[0].text, "&About Kavelo...");
    for (const MenuEntry& popup : menu) {
        for (const MenuEntry& item : popup.children) {
            EXPECT_TRUE(item.children.empty());
            if (item.text != nullptr) {
                EXPECT_EQ(std::string(item.text).find('\t'), std::string::npos) << item.text;
            }
        }
    }
}

struct Binding {
    unsigned key, modifiers, command;
};

// The key table in its stored order.
const Binding kBindings[] = {
    {VK_ADD, 0, ID_ZOOM_IN},
    {VK_DOWN, 0, ID_MOVE_DOWN},
    {VK_DOWN, FCONTROL, ID_ROTATE_X_PLUS},
    {VK_LEFT, 0, ID_MOVE_LEFT},
    {VK_LEFT, FCONTROL, ID_ROTATE_Y_MINUS},
    {VK_LEFT, FCONTROL | FALT, ID_ROTATE_Z_MINUS},
    {VK_NEXT, 0, ID_PERSPECTIVE_MINUS},
    {VK_PRIOR, 0, ID_PERSPECTIVE_PLUS},
    {VK_RIGHT, 0, ID_MOVE_RIGHT},
    {VK_RIGHT, FCONTROL, ID_ROTATE_Y_PLUS},
    {VK_RIGHT, FCONTROL | FALT, ID_ROTATE_Z_PLUS},
    {VK_SUBTRACT, 0, ID_ZOOM_OUT},
    {VK_UP, 0, ID_MOVE_UP},
    {VK_UP, FCONTROL, ID_ROTATE_X_MINUS},
};

TEST(Resources, KeyTableBindsEachKeyInItsStoredOrder) {
    const auto table = MainAccelerators();
    ASSERT_EQ(table.size(), std::size(kBindings));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Binding& b = kBindings[i];
        EXPECT_EQ(table[i].flags, FVIRTKEY | FNOINVERT | b.modifiers) << i;
        EXPECT_EQ(table[i].virtualKey, b.key) << i;
        EXPECT_EQ(table[i].command, b.command) << i;
    }
}

TEST(Resources, PanelFieldsTabOrderAndLabels) {
    const DialogTemplate& panel = ControlPanelTemplate();
    EXPECT_EQ(panel.id, IDD_CONTROL_PANEL);
    EXPECT_EQ(panel.caption, nullptr);
    EXPECT_FALSE(panel.popup);
    EXPECT_EQ(panel.width, 104);
    EXPECT_EQ(panel.height, 279);
    EXPECT_STREQ(panel.fontName, "MS Sans Serif");
    EXPECT_EQ(panel.pointSize, 8);
    ASSERT_EQ(panel.controls.size(), 28u);

    std::vector<int> tabOrder;
    std::set<int> digitsOnly;
    std::vector<const DialogControl*> degrees, pixels;
    for (const DialogControl& c : panel.controls) {
        EXPECT_LE(c.x + c.width, panel.width);
        EXPECT_LE(c.y + c.height, panel.height);
        if ((c.style & kTabStop) && !(c.style & (kHidden | kDisabled))) {
            tabOrder.push_back(c.id);
        }
        if (c.style & kDigitsOnly) {
            digitsOnly.insert(c.id);
        }
        if (c.kind == ControlKind::Edit) {
            EXPECT_EQ(c.style & (kBorder | kTabStop | kAutoHScroll),
                      unsigned{kBorder | kTabStop | kAutoHScroll});
            EXPECT_EQ(c.text, nullptr);  // fields start empty
        }
        if (c.kind == ControlKind::Static || c.kind == ControlKind::GroupBox) {
            EXPECT_EQ(c.id, IDC_STATIC);
            EXPECT_EQ(c.style & kTabStop, 0u);
        }
        if (c.kind == ControlKind::Static) {
            EXPECT_TRUE(c.style & kGroupStart);
            const std::string text = c.text;
            if (text == "\xC2\xB0") {
                degrees.push_back(&c);
            } else if (text == "px") {
                pixels.push_back(&c);
            }
        }
    }
    const std::vector<int> expectedTabs = {IDC_SHIFT_X,   IDC_SHIFT_Y, IDC_ANGLE_X,
                                           IDC_ANGLE_Y,   IDC_ANGLE_Z, IDC_STRETCH_X,
                                           IDC_STRETCH_Y, IDC_UPDATE,  IDC_EXTENT};
    EXPECT_EQ(tabOrder, expectedTabs);
    const std::set<int> expectedDigits = {IDC_SHIFT_X, IDC_SHIFT_Y,   IDC_ANGLE_X, IDC_ANGLE_Y,
                                          IDC_ANGLE_Z, IDC_STRETCH_Y, IDC_EXTENT};
    EXPECT_EQ(digitsOnly, expectedDigits);

    // Each unit label stands on the row of its field, right of it.
    auto field = [&](int id) -> const DialogControl& {
        for (const DialogControl& c : panel.controls) {
            if (c.id == id) {
                return c;
            }
        }
        ADD_FAILURE() << "no control " << id;
        return panel.controls[0];
    };
    auto onRowOf = [&](const DialogControl* label, int id) {
        const DialogControl& f = field(id);
        return label->y >= f.y && label->y < f.y + f.height && label->x >= f.x + f.width;
    };
    ASSERT_EQ(degrees.size(), 3u);
    EXPECT_TRUE(onRowOf(degrees[0], IDC_ANGLE_X));
    EXPECT_TRUE(onRowOf(degrees[1], IDC_ANGLE_Y));
    EXPECT_TRUE(onRowOf(degrees[2], IDC_ANGLE_Z));
    for (const DialogControl* d : degrees) {
        EXPECT_TRUE(d->style & kAlignLeft);
    }
    ASSERT_EQ(pixels.size(), 2u);
    EXPECT_TRUE(onRowOf(pixels[0], IDC_SHIFT_X));
    EXPECT_TRUE(onRowOf(pixels[1], IDC_SHIFT_Y));

    EXPECT_STREQ(field(IDC_UPDATE).text, "Update");
    EXPECT_EQ(field(IDC_UPDATE).kind, ControlKind::PushButton);
    EXPECT_TRUE(field(IDC_UPDATE).style & kStaticEdge);
    for (int hidden : {IDC_BEST_FIT, IDC_CENTRE}) {
        EXPECT_EQ(field(hidden).kind, ControlKind::PushButton);
        EXPECT_EQ(field(hidden).style & (kHidden | kDisabled), unsigned{kHidden | kDisabled});
    }
}

TEST(Resources, AboutBoxEndsWithItsDefaultButton) {
    const DialogTemplate& about = AboutBoxTemplate();
    EXPECT_EQ(about.id, IDD_ABOUTBOX);
    EXPECT_STREQ(about.caption, "About Kavelo");
    EXPECT_TRUE(about.popup);
    EXPECT_EQ(about.width, 235);
    EXPECT_EQ(about.height, 55);
    ASSERT_EQ(about.controls.size(), 4u);
    EXPECT_EQ(about.controls[0].kind, ControlKind::Icon);
    EXPECT_STREQ(about.controls[0].text, "IDR_MAINFRAME");
    EXPECT_STREQ(about.controls[1].text, "Kavelo Version 1.0");
    EXPECT_TRUE(about.controls[1].style & kNoPrefix);
    EXPECT_NE(about.controls[2].text, nullptr);
    EXPECT_FALSE(about.controls[2].style & kNoPrefix);
    const DialogControl& ok = about.controls[3];
    EXPECT_EQ(ok.id, static_cast<int>(IDOK));
    EXPECT_EQ(ok.kind, ControlKind::DefPushButton);
    EXPECT_STREQ(ok.text, "OK");
    EXPECT_EQ(ok.style, unsigned{kGroupStart | kTabStop});
    for (const DialogControl& c : about.controls) {
        EXPECT_LE(c.x + c.width, about.width);
        EXPECT_LE(c.y + c.height, about.height);
    }
}

TEST(Resources, StringsAndPrompts) {
    EXPECT_EQ(DocumentString(), "Kavelo\n\nKavelo\n\n\nKavelo.Scene.1\n3D Scene");
    std::set<unsigned> ids;
    for (const StringEntry& entry : StringTable()) {
        EXPECT_TRUE(ids.insert(entry.id).second) << "twice: " << entry.id;
    }
    EXPECT_EQ(ids.size(), 11u);

    const VersionInfo& v = Version();
    EXPECT_STREQ(v.fileVersion, "1, 0, 0, 1");
    EXPECT_STREQ(v.productVersion, "1, 0, 0, 1");
    EXPECT_STREQ(v.productName, "Kavelo Application");
    EXPECT_STREQ(v.description, "Kavelo MFC Application");
    EXPECT_STREQ(v.internalName, "Kavelo");
    EXPECT_STREQ(v.fileName, "Kavelo.EXE");
    EXPECT_STREQ(v.versionText, "1.0.0.1");
}

TEST(Resources, EveryStringBelongsToACommandOrTheFramework) {
    std::set<unsigned> commands;
    for (const MenuEntry& popup : MainMenu()) {
        for (const MenuEntry& item : popup.children) {
            commands.insert(item.id);
        }
    }
    std::set<unsigned> strings;
    for (const StringEntry& entry : StringTable()) {
        strings.insert(entry.id);
        const bool framework = entry.id >= AFX_IDS_APP_TITLE && entry.id <= AFX_IDS_SCRESTORE;
        EXPECT_TRUE(commands.contains(entry.id) || framework) << entry.text;
        EXPECT_NE(std::string(entry.text).find_first_not_of('\n'), std::string::npos) << entry.id;
    }
    // Restart alone has no prompt: the message pane goes empty over it.
    for (const unsigned id : commands) {
        EXPECT_EQ(strings.contains(id), id != ID_FILE_RESTART && id != 0) << id;
    }
    EXPECT_TRUE(strings.contains(AFX_IDS_APP_TITLE));
    EXPECT_TRUE(strings.contains(AFX_IDS_IDLEMESSAGE));
}

TEST(Resources, IconImagesAreWellFormedXpm) {
    const auto icon = MainIcon();
    ASSERT_EQ(icon.size(), 2u);
    EXPECT_EQ(icon[0].size, 32);
    EXPECT_EQ(icon[1].size, 16);
    for (const IconImage& image : icon) {
        SCOPED_TRACE(image.size);
        ASSERT_FALSE(image.xpm.empty());
        std::istringstream header(image.xpm[0]);
        int width = 0, height = 0, colours = 0, charsPerPixel = 0;
        ASSERT_TRUE(header >> width >> height >> colours >> charsPerPixel);
        EXPECT_EQ(width, image.size);
        EXPECT_EQ(height, image.size);
        ASSERT_GT(colours, 1);
        ASSERT_LE(colours, 16);
        ASSERT_EQ(charsPerPixel, 1);
        ASSERT_EQ(image.xpm.size(), static_cast<std::size_t>(1 + colours + height));
        std::set<char> keys;
        for (int i = 1; i <= colours; ++i) {
            const std::string row = image.xpm[i];
            ASSERT_GE(row.size(), 5u) << row;
            EXPECT_EQ(row.substr(1, 3), " c ") << row;
            EXPECT_TRUE(keys.insert(row[0]).second) << "colour key twice: " << row;
        }
        std::set<char> used;
        for (int y = 0; y < height; ++y) {
            const std::string row = image.xpm[1 + colours + y];
            ASSERT_EQ(row.size(), static_cast<std::size_t>(width)) << "row " << y;
            for (char c : row) {
                EXPECT_TRUE(keys.count(c)) << "unknown colour '" << c << "' in row " << y;
                used.insert(c);
            }
        }
        EXPECT_GE(used.size(), 6u);  // a picture, not a blank tile
    }
}

}  // namespace
