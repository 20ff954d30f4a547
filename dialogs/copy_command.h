// The main dialog's copy command: the entry in combo box 1000 becomes
// clipboard contents (the message, or the referenced file's contents).
#pragma once
#include <windows.h>

#include "clip_copy.h"

void CopyClipText(HWND mainDialog);

// What follows a copy: the success beep and, with /e, the close; or the
// message for what went wrong. The main dialog calls this for a one-click
// copy tried before the window.
void FinishCopy(HWND mainDialog, CopyResult result);
