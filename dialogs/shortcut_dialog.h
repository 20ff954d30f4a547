#pragma once
#include <windows.h>

// Dialog 103. Always ends with 2.
INT_PTR CALLBACK ShortcutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
