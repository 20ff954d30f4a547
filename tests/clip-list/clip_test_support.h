// Helpers of the clip list and copy tests beyond the shared ones: real
// controls as the program's dialogs have them, and a clipboard held by
// another thread.
#pragma once
#include <windows.h>

#include <string>

#include "clip_list_file.h"

#include "test_support.h"

// A top-level window holding a drop-down combo box (id 1000) and a list box
// (id 1011), neither sorting, as the program's dialogs have them.
struct TestWindow {
    HWND window;
    HWND combo;
    HWND list;
    TestWindow();
    ~TestWindow();
};

// Holds the clipboard open with a window of its own, from its own thread,
// for `holdMs` milliseconds from construction.
struct ClipboardHolder {
    HANDLE thread;
    HANDLE opened;
    DWORD holdMs;
    explicit ClipboardHolder(DWORD holdMs);
    ~ClipboardHolder();
};

// The clipboard's CF_TEXT block as bytes (its whole size), or "<none>".
std::string ClipboardBlock();

// The editor's save without a user to ask, as the tests of the file's
// replacement want it: the list written over whatever is there, as one
// result. A save needs no other answer where the file is not read.
enum ClipListSaveResult { kSaveFailed = -1, kSaveNothing = 0, kSaveWritten = 1 };
enum ClipListSaveMode { kSaveMine = 2 };
ClipListSaveResult SaveClipList(const ClipEditList* list, const char* path, ClipListSaveMode mode,
                                WCHAR* left = nullptr);
