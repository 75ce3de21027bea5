// The program's resources. All but the two dialog templates share IDR_MAINFRAME.
#pragma once

#include <span>
#include <string_view>

#include "shell/resources/resource_ids.h"
#include "shell/resources/resource_types.h"

// Menu IDR_MAINFRAME: the top-level popups in order.
std::span<const MenuEntry> MainMenu();

// Key table IDR_MAINFRAME, in its stored order.
std::span<const AcceleratorEntry> MainAccelerators();

// Looks a key up: `virtualKey` with the modifiers held (FSHIFT | FCONTROL | FALT bits). Returns
// the command of the first entry whose key and modifiers match exactly, 0 when none does.
unsigned TranslateAccelerator(std::span<const AcceleratorEntry> table, unsigned virtualKey,
                              unsigned heldModifiers);

const DialogTemplate& ControlPanelTemplate();  // IDD_CONTROL_PANEL
const DialogTemplate& AboutBoxTemplate();      // IDD_ABOUTBOX

// Document string IDR_MAINFRAME: fields separated by "\n", in the framework's order.
std::string_view DocumentString();
// Field `index` of the document string (0 window title, 1 document name, ...).
std::string_view DocumentStringField(int index);

// String table; LoadString gives the whole entry, empty when there is none.
std::span<const StringEntry> StringTable();
std::string_view LoadString(unsigned id);
// The prompt part of a command's string (before the "\n"), empty when there is none.
std::string_view CommandPrompt(unsigned id);

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
