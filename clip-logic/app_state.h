// The program's process-wide state. Texts are zero-terminated code page 932
// byte strings in buffers of fixed size; the sizes are part of the design
// (the command line, the clipboard text and shortcut arguments all share
// the 1024-byte limit).
#pragma once

// Forward declarations keep this header free of <windows.h>, so the
// platform-free rules can be built and tested on the host as well.
struct HINSTANCE__;

enum {
    kTextSize = 1024,  // m_CmdLine, m_ClipText, m_ClipTitle, entries
    kPathSize = 260,   // MAX_PATH
    kNameSize = 256,
};

// left, top, right, bottom in screen pixels, as the platform's RECT.
struct ClipRect {
    int left, top, right, bottom;
};

extern char m_CmdLine[kTextSize];
extern char m_ClipText[kTextSize];
extern char m_ClipTitle[kTextSize];
extern char m_ExePath[kPathSize];
extern char m_ExeDir[kPathSize];
extern char m_ExeName[kNameSize];
extern char m_LinkFolder[kPathSize];

extern int m_AutoStart;
extern int m_AutoExit;
extern int m_ListLoaded;
extern int m_PosX;
extern int m_PosY;
extern int m_SliderPos;

extern ClipRect m_EditorRect;
extern ClipRect m_EditorListRect;

extern HINSTANCE__* m_hInstance;
