// Driving the shortcut dialog in-process: the program state a real start
// leaves and the dialog over the real template; its message boxes are
// answered by the shared BoxAnswerer.
#pragma once
#include <windows.h>

#include <vector>

#include "shortcut_dialog.h"
#include "test_support.h"

// m_hInstance, the program paths (Quillan.exe beside this test program) and
// the start state of a program started without options.
void SetProgramState();

// The dialog, modeless and hidden, over template 103 of this program,
// given what the main dialog would propose (null: nothing).
HWND OpenShortcutDialog(const ShortcutProposal* proposal = nullptr);
// Presses a button of the dialog as a click would.
void PressButton(HWND dialog, int id);
// Ticks or clears a check box as a click would (the dialog hears of it).
void SetBox(HWND dialog, int id, bool ticked);

// A shortcut file read back through the shell link object.
struct ShortcutRecord {
    bool loaded;
    char target[MAX_PATH], arguments[1024], workDir[MAX_PATH];
    WORD key;  // as the hot key control gives it; 0: none
};
ShortcutRecord ReadShortcut(const char* path);

// Makes "<name>.lnk" in `folder` through the dialog as a user would for an
// entry whose message is `message` (code page 932), with /g and /e ticked
// and `key` in the key field, and gives the message boxes it showed (none
// when all went well). False when the dialog did not open.
bool MakeOneClickShortcut(const char* folder, const char* name, const char* message,
                          std::vector<AnsweredBox>* boxes, WORD key = 0);
// The same for the entry "Good morning", as "Good morning.lnk" on Ctrl+Alt+G.
bool MakeGoodMorningShortcut(const char* folder, std::vector<AnsweredBox>* boxes);
const WORD kGoodMorningKey = MAKEWORD('G', 0x02 | 0x04);
