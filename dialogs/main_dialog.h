#pragma once
#include <windows.h>

#include "clip_copy.h"

INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The program file's full path, its folder without a trailing backslash and
// its base name without extension, in UTF-8 (buffers of kPathBytes,
// kPathBytes and kNameBytes). False, with all three empty, when the path is
// too long for the system's file functions: the program then has no list
// and makes no shortcuts, rather than work on a cut path naming another
// folder.
bool GetProgramPaths(char* exePath, char* exeDir, char* exeName);

// Moves the dialog to m_PosX, m_PosY and sets its caption and icon.
void PlaceMainWindow(HWND dialog);

// Loads the clip list into the drop-down list (emptying its edit field);
// the list counts as loaded from then on, even when the file is missing.
// Says what kept the list from being read, except a file that cannot be
// opened (at the start, a list not made yet). Returns how the load went
// (ClipListLoadResult).
int LoadListIntoCombo(HWND dialog);

// Set by the one-click start when its copy before the window failed: the
// window then reports that result instead of copying again.
extern CopyResult m_OneClickResult;
extern bool m_OneClickTried;
