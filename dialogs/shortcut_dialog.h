#pragma once
#include <windows.h>

#include "app_state.h"

// What the dialog starts with, as the main dialog's shortcut command split
// the entry in its field: the title (proposed as the name) and the message
// (a file reference as "/f=" and the bare path), both in codePage.
struct ShortcutProposal {
    char title[kTextSize];
    char message[kTextSize];
    int codePage;
};

// Dialog 103, given a ShortcutProposal as its DialogBoxParamW parameter
// (null: nothing proposed). Always ends with 2.
INT_PTR CALLBACK ShortcutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
