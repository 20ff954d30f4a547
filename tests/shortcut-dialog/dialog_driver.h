// Driving the shortcut dialog in-process: the program state a real start
// leaves, the dialog over the real template, and a watcher thread that
// answers the message boxes the dialog shows.
#pragma once
#include <windows.h>

enum { kMaxBoxes = 4, kBoxText = 2048 };

struct SeenBox {
    char title[64];
    char text[kBoxText];
};

// Answers every message box titled 確認 or 失敗 that a thread of this process
// shows: the confirmation with `confirmAnswer`, a failure with IDOK. Keeps
// what it saw.
struct BoxWatcher {
    int confirmAnswer;
    HANDLE stop;
    HANDLE thread;
    int count;
    SeenBox boxes[kMaxBoxes];
};

void StartBoxWatcher(BoxWatcher* watcher, int confirmAnswer);
void StopBoxWatcher(BoxWatcher* watcher);

// m_hInstance, the program paths (Quillan.exe beside this test program) and
// the start state of a program started without options.
void SetProgramState();

// The dialog, modeless and hidden, over template 103 of this program.
HWND OpenShortcutDialog();
// Presses a button of the dialog as a click would.
void PressButton(HWND dialog, int id);
// Ticks or clears a check box as a click would (the dialog hears of it).
void SetBox(HWND dialog, int id, bool ticked);

// A shortcut file read back through the shell link object.
struct ShortcutRecord {
    bool loaded;
    char target[MAX_PATH], arguments[1024], workDir[MAX_PATH];
};
ShortcutRecord ReadShortcut(const char* path);
