#pragma once
#include <windows.h>

#include "clip_copy.h"
#include "clip_list_file.h"

// What the entry point hands the main dialog as its DialogBoxParamW
// parameter. A one-click start (a text, /g and /e) copies before any
// window exists; the dialog only opens when that copy did not succeed, and
// then reports its result instead of copying again. A null parameter is a
// start that tried nothing.
struct MainDialogStart {
    bool oneClickTried;
    CopyResult oneClickResult;
};

// Shows m_ClipText (the command line's text) in the field and, with /g,
// copies it; the command line is parsed before the dialog starts.
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
// the list counts as loaded from then on, even when the file is missing
// (an empty list, nothing said). Says what kept the list from being read:
// a file that cannot be opened, one in UTF-16 or too large, a read that
// failed half way. Returns how the load went (kLoadDone for a missing
// file). From then on the window reads the list again whenever the file
// changed, as it is activated and before its list drops down, keeping
// what the field holds.
ClipListLoadResult LoadListIntoCombo(HWND dialog);
