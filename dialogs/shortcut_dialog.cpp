// Placeholder until the shortcut dialog lands.
#include "shortcut_dialog.h"

INT_PTR CALLBACK ShortcutDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
