// Numeric identifiers shared by the menu, the key table, the panel and the view's handlers.
#pragma once

// The program's own commands.
inline constexpr unsigned ID_MOVE_RIGHT = 32771;
inline constexpr unsigned ID_MOVE_LEFT = 32772;
inline constexpr unsigned ID_MOVE_UP = 32773;
inline constexpr unsigned ID_MOVE_DOWN = 32774;
inline constexpr unsigned ID_ZOOM_IN = 32775;
inline constexpr unsigned ID_ZOOM_OUT = 32776;
inline constexpr unsigned ID_ROTATE_Y_MINUS = 32777;
inline constexpr unsigned ID_ROTATE_Y_PLUS = 32778;
inline constexpr unsigned ID_FILE_RESTART = 32781;
inline constexpr unsigned ID_ROTATE_X_MINUS = 32782;
inline constexpr unsigned ID_ROTATE_X_PLUS = 32783;
inline constexpr unsigned ID_ROTATE_Z_PLUS = 32784;
inline constexpr unsigned ID_ROTATE_Z_MINUS = 32785;
inline constexpr unsigned ID_PERSPECTIVE_PLUS = 32786;
inline constexpr unsigned ID_PERSPECTIVE_MINUS = 32787;

// Controls of the control panel.
inline constexpr unsigned IDC_SHIFT_X = 1000;
inline constexpr unsigned IDC_SHIFT_Y = 1001;
inline constexpr unsigned IDC_ANGLE_X = 1002;
inline constexpr unsigned IDC_STRETCH_X = 1003;
inline constexpr unsigned IDC_ANGLE_Y = 1004;
inline constexpr unsigned IDC_ANGLE_Z = 1005;
inline constexpr unsigned IDC_STRETCH_Y = 1006;
inline constexpr unsigned IDC_UPDATE = 1007;
inline constexpr unsigned IDC_BEST_FIT = 1008;
inline constexpr unsigned IDC_CENTRE = 1009;
inline constexpr unsigned IDC_EXTENT = 1010;
inline constexpr int IDC_STATIC = -1;  // static texts and group boxes
inline constexpr unsigned IDOK = 1;
inline constexpr unsigned IDCANCEL = 2;

// Standard commands of the application framework.
inline constexpr unsigned ID_APP_ABOUT = 0xE140;
inline constexpr unsigned ID_APP_EXIT = 0xE141;
inline constexpr unsigned ID_VIEW_STATUS_BAR = 0xE801;
inline constexpr unsigned ID_SEPARATOR = 0;

// Resources and windows.
inline constexpr unsigned IDD_ABOUTBOX = 100;
inline constexpr unsigned IDR_MAINFRAME = 128;
inline constexpr unsigned IDD_CONTROL_PANEL = 135;
inline constexpr unsigned AFX_IDW_STATUS_BAR = 0xE801;

// Strings of the framework.
inline constexpr unsigned AFX_IDS_APP_TITLE = 0xE000;
inline constexpr unsigned AFX_IDS_IDLEMESSAGE = 0xE001;
inline constexpr unsigned AFX_IDS_SCSIZE = 0xEF00;
inline constexpr unsigned AFX_IDS_SCMOVE = 0xEF01;
inline constexpr unsigned AFX_IDS_SCMINIMIZE = 0xEF02;
inline constexpr unsigned AFX_IDS_SCMAXIMIZE = 0xEF03;
inline constexpr unsigned AFX_IDS_SCCLOSE = 0xEF06;
inline constexpr unsigned AFX_IDS_SCRESTORE = 0xEF12;

// Virtual-key codes of the key table.
inline constexpr unsigned VK_PRIOR = 33;
inline constexpr unsigned VK_NEXT = 34;
inline constexpr unsigned VK_LEFT = 37;
inline constexpr unsigned VK_UP = 38;
inline constexpr unsigned VK_RIGHT = 39;
inline constexpr unsigned VK_DOWN = 40;
inline constexpr unsigned VK_ADD = 107;
inline constexpr unsigned VK_SUBTRACT = 109;
inline constexpr unsigned VK_OEM_PLUS = 0xBB;   // main keyboard "=" / "+"
inline constexpr unsigned VK_OEM_MINUS = 0xBD;  // main keyboard "-"

// Flags of a key-table entry.
inline constexpr unsigned FVIRTKEY = 0x01;
inline constexpr unsigned FNOINVERT = 0x02;
inline constexpr unsigned FSHIFT = 0x04;
inline constexpr unsigned FCONTROL = 0x08;
inline constexpr unsigned FALT = 0x10;
