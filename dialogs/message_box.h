// The program's message boxes: its own texts (code page 932 literals from
// messages.h) shown through UTF-16, so they read the same on any system
// code page.
#pragma once
#include <windows.h>

enum {
    kBoxTextSize = 1024,   // a message box's text: wsprintf never writes more
    kShortTextUnits = 64,  // a title, a caption or a one-line format
};

// A message box with the question-mark icon and these buttons (MB_OK or
// MB_YESNO); returns the button pressed.
int ShowMessage(HWND owner, const char* text, const char* title, UINT buttons);

// The same with a text formatted from a code page 932 format whose %s each
// take a UTF-16 argument (at most 1023 characters result, as wsprintf).
int ShowFormattedMessage(HWND owner, const char* title, UINT buttons, const char* format, ...);

// A program text as UTF-16 into `out` (room for `size` units).
void ProgramText(const char* text, WCHAR* out, int size);
