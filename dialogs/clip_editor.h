#pragma once
#include <windows.h>

// Dialog 113. Ends with 1 after a save, 2 when cancelled or closed.
INT_PTR CALLBACK ClipEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
