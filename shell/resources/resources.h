// The program's resources. All but the two dialog templates share IDR_MAINFRAME.
//
// The ground floor of the program: identifiers, shapes and tables, with no logic and no
// dependency. Every layer may read them; the layer that applies a table holds the code that
// does (key translation and string access in platform/framework/, the builders in
// platform/widgets/).
#pragma once

#include <span>
#include <string_view>

#include "shell/resources/resource_ids.h"
#include "shell/resources/resource_types.h"

namespace kavelo::resources {

// Menu IDR_MAINFRAME: the top-level popups in order.
std::span<const MenuEntry> MainMenu();

// Key table IDR_MAINFRAME, in its stored order.
std::span<const AcceleratorEntry> MainAccelerators();

const DialogTemplate& ControlPanelTemplate();  // IDD_CONTROL_PANEL
const DialogTemplate& AboutBoxTemplate();      // IDD_ABOUTBOX

// Document string IDR_MAINFRAME: fields separated by "\n", in the framework's order.
std::string_view DocumentString();

// String table: prompt, "\n", short name, by identifier.
std::span<const StringEntry> StringTable();

// Icon IDR_MAINFRAME: a 32 by 32 and a 16 by 16 image.
std::span<const IconImage> MainIcon();

struct VersionInfo {
    const char* fileVersion;     // "1, 0, 0, 1"
    const char* productVersion;  // "1, 0, 0, 1"
    const char* productName;     // "Kavelo Application"
    const char* description;     // "Kavelo MFC Application"
    const char* internalName;    // "Kavelo"
    const char* fileName;        // "Kavelo.EXE"
    const char* versionText;     // "1.0.0.1"
};
const VersionInfo& Version();

// The credit banner over the top edge of every picture, the viewer's and kavelo-render's alike:
// its Latin-1 text, its colour (0x00FFF0FF), its band from the top and its font, in the
// picture's device pixels.
struct BannerResource {
    const char* text;
    unsigned char red, green, blue;
    int bandHeight;
    const char* fontFamily;
    int fontPixels;
};
const BannerResource& Banner();

}  // namespace kavelo::resources
