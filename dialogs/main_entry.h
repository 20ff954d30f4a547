// The entry in the main window's drop-down field, as the bytes it stands
// for: an entry picked from the list is its line's bytes, whatever they
// are; a typed one is its text in code page 932 when that holds it, else in
// UTF-8.
#pragma once
#include <windows.h>

#include "clip_list_file.h"

// False when the memory for it cannot be had. An empty field gives an
// empty entry.
bool TakeMainEntry(HWND combo, ItemText* entry);
