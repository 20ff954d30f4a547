// Identifiers of the program's resources and controls.
#pragma once

// Dialogs, icons, menu
#define IDD_MAIN                101
#define IDI_QUILLAN             102
#define IDD_SHORTCUT            103
#define IDI_SHORTCUT            105
#define IDD_CLIP_EDITOR         113
#define IDM_MAIN_MENU           115
#define IDM_EXIT                40001

// Main dialog (101)
#define IDC_CLIP_COMBO          1000
#define IDC_MAKE_SHORTCUT       1001
#define IDC_EDIT_LIST           1018
#define IDC_BROWSE_TEXT_FILE    1023

// Shortcut dialog (103)
#define IDC_SC_MESSAGE          1002
#define IDC_SC_AUTO_START       1003
#define IDC_SC_AUTO_EXIT        1004
#define IDC_SC_POS_X            1005
#define IDC_SC_POS_Y            1006
#define IDC_SC_SET_POSITION     1007
#define IDC_SC_POS_X_LABEL      1008
#define IDC_SC_POS_Y_LABEL      1009
#define IDC_SC_NAME             1010
#define IDC_SC_FOLDER           1025
#define IDC_SC_BROWSE_FOLDER    1026
#define IDC_SC_HOTKEY           1027

// Clip list editor (113)
#define IDC_ED_LIST             1011
#define IDC_ED_TITLE            1012
#define IDC_ED_MESSAGE          1013
#define IDC_ED_EDIT             1014
#define IDC_ED_OVERWRITE        1015
#define IDC_ED_DELETE           1016
#define IDC_ED_ADD              1017
#define IDC_ED_MOVE_UP          1019
#define IDC_ED_MOVE_DOWN        1020
#define IDC_ED_SLIDER           1022
#define IDC_ED_BROWSE           1023

// Private messages a dialog posts to itself, one meaning each
// main dialog: a one-click copy before the window failed; wParam is its
// CopyResult, to be reported now that the window is up
#define WM_APP_ONE_CLICK_FAILED (WM_APP + 1)
// clip list editor: the list could not be read; said once the editor shows
#define WM_APP_REPORT_LOAD      (WM_APP + 2)
// main dialog: its drop-down list closed or picked an entry, and the field
// now holds what it will hold
#define WM_APP_FIELD_SETTLED    (WM_APP + 16)

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif
