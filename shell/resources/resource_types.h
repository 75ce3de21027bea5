// Shapes of the declarative resources: menu, key table, dialog templates, strings, icon.
// Each is read by one builder in platform/.
#pragma once

#include <span>

namespace kavelo::resources {

enum class MenuEntryKind { Popup, Command, Separator };

struct MenuEntry {
    MenuEntryKind kind;
    const char* text;                     // "&" marks the access key; null for a separator
    unsigned id;                          // command of a Command entry, 0 otherwise
    std::span<const MenuEntry> children;  // entries of a Popup
};

struct AcceleratorEntry {
    unsigned flags;       // FVIRTKEY | FNOINVERT, plus FSHIFT, FCONTROL, FALT as held
    unsigned virtualKey;  // VK_*
    unsigned command;
};

enum class ControlKind { Edit, Static, GroupBox, PushButton, DefPushButton, Icon };

// Styles of a dialog control.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kDigitsOnly = 1u << 0,  // ES_NUMBER: typed characters other than 0 to 9 are refused
    kAutoHScroll = 1u << 1,
    kBorder = 1u << 2,
    kTabStop = 1u << 3,
    kGroupStart = 1u << 4,
    kHidden = 1u << 5,  // not WS_VISIBLE
    kDisabled = 1u << 6,
    kStaticEdge = 1u << 7,  // WS_EX_STATICEDGE
    kAlignLeft = 1u << 8,
    kAlignCenter = 1u << 9,
    kAlignRight = 1u << 10,
    kNoPrefix = 1u << 11,  // SS_NOPREFIX: ampersands shown as typed
};

struct DialogControl {
    int id;  // IDC_STATIC for static texts and group boxes
    ControlKind kind;
    const char* text;         // UTF-8; null for none; for an Icon, the icon resource's name
    int x, y, width, height;  // dialog units
    unsigned style;           // ControlStyle bits
};

struct DialogTemplate {
    unsigned id;
    const char* caption;  // null for a child dialog without caption
    int width, height;    // dialog units
    const char* fontName;
    int pointSize;
    bool popup;  // modal pop-up with caption and system menu, or a child without border
    std::span<const DialogControl> controls;  // template order, which is also the tab order
};

struct StringEntry {
    unsigned id;
    const char* text;  // prompt, "\n", short name; the message pane shows the prompt
};

struct IconImage {
    int size;                          // 32 or 16
    std::span<const char* const> xpm;  // XPM rows, 16 colours
};

}  // namespace kavelo::resources
