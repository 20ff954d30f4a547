#pragma once
#include <windows.h>

#include "clip_list_edit.h"

// What the editor works on, given as its dialog parameter: the list as data
// (the list box only shows it) and what its load found.
struct ClipEditorState {
    ClipEditList list;
    // The file was there but could not be read whole: a save would lose the
    // rest of it, so the editor never writes over it.
    bool unread;
    // What the load has to tell the user, once the editor shows.
    const char* loadMessage;
};

// Dialog 113, with a ClipEditorState* as its parameter, which it fills; the
// list is freed as the dialog ends. Ends with 1 after a save, 2 when
// cancelled or closed.
INT_PTR CALLBACK ClipEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
