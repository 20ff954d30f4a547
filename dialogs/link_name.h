// Whether a shortcut name typed (or proposed from a list entry's title) is
// a plain file name: one that writes name.lnk into the folder shown, and
// nowhere else.
#pragma once
#include <windows.h>

// False for a name that is blank, holds \ / : * ? " < > | or a control
// character, is "." or "..", ends in a dot or a blank, or is a device name
// (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, also with any extension).
bool IsPlainFileName(const WCHAR* name);
