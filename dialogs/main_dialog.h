#pragma once
#include <windows.h>

INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The program file's full path, its folder without a trailing backslash and
// its base name without extension (buffers of 260, 260 and 256 bytes).
void GetProgramPaths(char* exePath, char* exeDir, char* exeName);

// Moves the dialog to m_PosX, m_PosY and sets its caption and icon.
void PlaceMainWindow(HWND dialog);
