#include "shell/resources/resources.h"

namespace kavelo::resources {

namespace {

// ---- Menu ----------------------------------------------------------------------------------

constexpr MenuEntry kFileMenu[] = {
    {MenuEntryKind::Command, "&Restart", ID_FILE_RESTART, {}},
    {MenuEntryKind::Separator, nullptr, 0, {}},
    {MenuEntryKind::Command, "E&xit", ID_APP_EXIT, {}},
};
constexpr MenuEntry kControlMenu[] = {
    {MenuEntryKind::Command, "&Status Bar", ID_VIEW_STATUS_BAR, {}},
};
constexpr MenuEntry kHelpMenu[] = {
    {MenuEntryKind::Command, "&About Kavelo...", ID_APP_ABOUT, {}},
};
constexpr MenuEntry kMainMenu[] = {
    {MenuEntryKind::Popup, "&File", 0, kFileMenu},
    {MenuEntryKind::Popup, "&Control", 0, kControlMenu},
    {MenuEntryKind::Popup, "&Help", 0, kHelpMenu},
};

// ---- Key table -----------------------------------------------------------------------------

constexpr unsigned kKey = FVIRTKEY | FNOINVERT;

constexpr AcceleratorEntry kAccelerators[] = {
    {kKey, VK_ADD, ID_ZOOM_IN},
    {kKey, VK_DOWN, ID_MOVE_DOWN},
    {kKey | FCONTROL, VK_DOWN, ID_ROTATE_X_PLUS},
    {kKey, VK_LEFT, ID_MOVE_LEFT},
    {kKey | FCONTROL, VK_LEFT, ID_ROTATE_Y_MINUS},
    {kKey | FCONTROL | FALT, VK_LEFT, ID_ROTATE_Z_MINUS},
    {kKey, VK_NEXT, ID_PERSPECTIVE_MINUS},
    {kKey, VK_PRIOR, ID_PERSPECTIVE_PLUS},
    {kKey, VK_RIGHT, ID_MOVE_RIGHT},
    {kKey | FCONTROL, VK_RIGHT, ID_ROTATE_Y_PLUS},
    {kKey | FCONTROL | FALT, VK_RIGHT, ID_ROTATE_Z_PLUS},
    {kKey, VK_SUBTRACT, ID_ZOOM_OUT},
    {kKey, VK_UP, ID_MOVE_UP},
    {kKey | FCONTROL, VK_UP, ID_ROTATE_X_MINUS},
};

// ---- Control panel -------------------------------------------------------------------------

constexpr unsigned kField = kBorder | kTabStop | kAutoHScroll;
constexpr unsigned kNumberField = kField | kDigitsOnly;
constexpr unsigned kLeftLabel = kAlignLeft | kGroupStart;
constexpr unsigned kCentredLabel = kAlignCenter | kGroupStart;
constexpr unsigned kRightLabel = kAlignRight | kGroupStart;
constexpr unsigned kButton = kTabStop | kStaticEdge;
constexpr unsigned kUnusedButton = kHidden | kDisabled | kTabStop | kStaticEdge;

constexpr const char* kDegree = "\u00B0";

using CK = ControlKind;

constexpr DialogControl kPanelControls[] = {
    {IDC_SHIFT_X, CK::Edit, nullptr, 40, 14, 46, 12, kNumberField},
    {IDC_SHIFT_Y, CK::Edit, nullptr, 40, 31, 46, 12, kNumberField},
    {IDC_ANGLE_X, CK::Edit, nullptr, 40, 60, 46, 12, kNumberField},
    {IDC_STATIC, CK::Static, kDegree, 88, 61, 8, 8, kLeftLabel},
    {IDC_STATIC, CK::Static, "Axis OX:", 6, 17, 30, 8, kCentredLabel},
    {IDC_STATIC, CK::GroupBox, "Displacement", 3, 4, 97, 44, kStyleNone},
    {IDC_STATIC, CK::Static, "Axis OY:", 6, 33, 30, 8, kCentredLabel},
    {IDC_STATIC, CK::GroupBox, "Rotation angle", 3, 51, 97, 61, kStyleNone},
    {IDC_STATIC, CK::Static, "Axis OX:", 6, 63, 30, 8, kCentredLabel},
    {IDC_STATIC, CK::Static, "Axis OY:", 6, 79, 30, 8, kCentredLabel},
    {IDC_STATIC, CK::Static, "Axis OZ:", 6, 95, 30, 8, kCentredLabel},
    {IDC_ANGLE_Y, CK::Edit, nullptr, 40, 77, 46, 12, kNumberField},
    {IDC_ANGLE_Z, CK::Edit, nullptr, 40, 94, 46, 12, kNumberField},
    {IDC_STATIC, CK::Static, "px", 88, 15, 8, 8, kRightLabel},
    {IDC_STATIC, CK::Static, "px", 88, 33, 8, 8, kRightLabel},
    {IDC_STRETCH_X, CK::Edit, nullptr, 40, 128, 46, 12, kField},  // takes any character
    {IDC_STRETCH_Y, CK::Edit, nullptr, 40, 145, 46, 12, kNumberField},
    {IDC_STATIC, CK::Static, "Axis OX:", 6, 131, 30, 8, kCentredLabel},
    {IDC_STATIC, CK::GroupBox, "Stretch", 3, 118, 97, 44, kStyleNone},
    {IDC_STATIC, CK::Static, "Axis OY:", 6, 148, 30, 8, kCentredLabel},
    {IDC_STATIC, CK::Static, kDegree, 88, 79, 8, 8, kLeftLabel},
    {IDC_STATIC, CK::Static, kDegree, 88, 97, 8, 8, kLeftLabel},
    {IDC_UPDATE, CK::PushButton, "Update", 11, 204, 82, 15, kButton},
    {IDC_BEST_FIT, CK::PushButton, "Best fit", 11, 222, 82, 15, kUnusedButton},
    {IDC_CENTRE, CK::PushButton, "Centre", 11, 241, 82, 15, kUnusedButton},
    {IDC_STATIC, CK::GroupBox, "Perspective", 3, 168, 97, 26, kStyleNone},
    {IDC_EXTENT, CK::Edit, nullptr, 42, 177, 46, 12, kNumberField},
    {IDC_STATIC, CK::Static, "Extent:", 11, 179, 23, 8, kCentredLabel},
};

constexpr DialogTemplate kControlPanel = {
    IDD_CONTROL_PANEL, nullptr, 104, 279, "MS Sans Serif", 8, false, kPanelControls,
};

// ---- About box -----------------------------------------------------------------------------

constexpr DialogControl kAboutControls[] = {
    {IDC_STATIC, CK::Icon, "IDR_MAINFRAME", 11, 17, 20, 20, kStyleNone},
    {IDC_STATIC, CK::Static, "Kavelo Version 1.0", 40, 10, 119, 8, kLeftLabel | kNoPrefix},
    {IDC_STATIC, CK::Static, "Viewer for one small 3D scene", 40, 25, 119, 8, kLeftLabel},
    {IDOK, CK::DefPushButton, "OK", 178, 7, 50, 14, kGroupStart | kTabStop},
};

constexpr DialogTemplate kAboutBox = {
    IDD_ABOUTBOX, "About Kavelo", 235, 55, "MS Sans Serif", 8, true, kAboutControls,
};

// ---- Strings -------------------------------------------------------------------------------

constexpr std::string_view kDocumentString = "Kavelo\n\nKavelo\n\n\nKavelo.Scene.1\n3D Scene";

constexpr StringEntry kStrings[] = {
    {AFX_IDS_APP_TITLE, "Kavelo"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {AFX_IDS_SCSIZE, "Change the window size"},
    {AFX_IDS_SCMOVE, "Change the window position"},
    {AFX_IDS_SCMINIMIZE, "Reduce the window to an icon"},
    {AFX_IDS_SCMAXIMIZE, "Enlarge the window to full size"},
    {AFX_IDS_SCCLOSE, "Close the active window and prompts to save the documents"},
    {AFX_IDS_SCRESTORE, "Restore the window to normal size"},
};

constexpr VersionInfo kVersion = {
    "1, 0, 0, 1", "1, 0, 0, 1", "Kavelo Application", "Kavelo MFC Application", "Kavelo",
    "Kavelo.EXE", "1.0.0.1",
};

}  // namespace

std::span<const MenuEntry> MainMenu() {
    return kMainMenu;
}

std::span<const AcceleratorEntry> MainAccelerators() {
    return kAccelerators;
}

const DialogTemplate& ControlPanelTemplate() {
    return kControlPanel;
}
const DialogTemplate& AboutBoxTemplate() {
    return kAboutBox;
}

std::string_view DocumentString() {
    return kDocumentString;
}

std::span<const StringEntry> StringTable() {
    return kStrings;
}

const VersionInfo& Version() {
    return kVersion;
}

const BannerResource& Banner() {
    static constexpr BannerResource kBanner = {
        "Kavelo 1.0 - polygons, NURBS curves and surfaces", 255, 240, 255, 50, "Sans Serif", 12,
    };
    return kBanner;
}

}  // namespace kavelo::resources
