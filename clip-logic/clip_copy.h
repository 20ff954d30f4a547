// The main dialog's copy command: the entry in combo box 1000 becomes
// clipboard text (the message, or the referenced file's contents).
#pragma once
#include <windows.h>

void CopyClipText(HWND mainDialog);
