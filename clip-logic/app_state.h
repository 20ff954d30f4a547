// The program's process-wide state. Texts are zero-terminated byte strings
// in buffers of fixed size; the sizes are part of the design (the command
// line, the clipboard text and shortcut arguments all share the 1024-byte
// limit). A text is in code page 932 where that holds it exactly and in
// UTF-8 otherwise, and its code page goes with it. Paths are UTF-8, which
// holds every name the file system allows; they become UTF-16 at each call
// of the system.
#pragma once

#include "text_encoding.h"

// Forward declarations keep this header free of <windows.h>, so the
// platform-free rules can be built and tested on the host as well.
struct HINSTANCE__;

enum {
    kTextSize = 1024,  // m_CmdLine, m_ClipText, entries, fields
    kPathSize = 260,   // MAX_PATH, in UTF-16 units
    kNameSize = 256,
    // The same in UTF-8 bytes: at most three bytes for each UTF-16 unit.
    kPathBytes = 3 * kPathSize,
    kNameBytes = 3 * kNameSize,
};

// left, top, right, bottom in screen pixels, as the platform's RECT.
struct ClipRect {
    int left, top, right, bottom;
};

extern char m_CmdLine[kTextSize];
extern int m_CmdLineCodePage;   // of m_CmdLine
// The command line's text: its message, or its file reference as
// /f="path". Written by the command line's parse alone; the copy command
// and the shortcut maker work on texts of their own.
extern char m_ClipText[kTextSize];
extern int m_ClipCodePage;      // of m_ClipText
extern char m_ExePath[kPathBytes];
extern char m_ExeDir[kPathBytes];
extern char m_ExeName[kNameBytes];
extern char m_LinkFolder[kPathBytes];
extern int m_ListCodePage;      // of the main window's list items

extern int m_AutoStart;
extern int m_AutoExit;
extern int m_ListLoaded;
extern int m_PosX;
extern int m_PosY;
extern int m_SliderPos;

extern ClipRect m_EditorRect;
extern ClipRect m_EditorListRect;

extern HINSTANCE__* m_hInstance;
