// The main dialog's copy command: the entry in combo box 1000 becomes
// clipboard contents (the message, or the referenced file's contents).
#pragma once
#include <windows.h>

#include "clip_copy.h"

void CopyClipText(HWND mainDialog);

// What follows a copy: the success beep and, with /e, the close; or the
// message for what went wrong and, when the start skipped it, the list.
// The one-click start calls this for a copy it tried before the window.
void FinishCopy(HWND mainDialog, CopyResult result);
