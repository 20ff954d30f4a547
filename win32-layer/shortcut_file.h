// The shortcut key of shortcut files (.lnk), read and set through the shell
// link object. The caller has COM initialised on its thread.
#pragma once
#include <windows.h>

// Puts `key` (shortcut_key.h) into the shortcut file at `link` and saves it;
// everything else the file holds stays as it is.
HRESULT SetShortcutFileKey(const WCHAR* link, WORD key);

// The key of the shortcut file at `link` into *key (0: none), reading only.
HRESULT ReadShortcutFileKey(const WCHAR* link, WORD* key);

// Looks through the shortcut files in `folder`, all but the one named
// `ownName` (the file about to be written, which may replace an older one),
// for one that starts on the same key (IsSameShortcutKey). True, with its
// file name in `found` (room for MAX_PATH units), when there is one. A file
// that cannot be read as a shortcut has no key.
bool FindShortcutWithKey(const WCHAR* folder, const WCHAR* ownName, WORD key, WCHAR* found);
