// Replacing the clip list file with new bytes so that a failure at any point
// leaves one whole copy of the list: the old one or the new one, never
// neither and never half of one.
#pragma once
#include <windows.h>

// Writes `size` bytes to a new file beside `path`, flushes it, and puts it
// in path's place: where path is a link, in the place of the file it points
// to. The replaced file's attributes stay, with the archive bit set as after
// any write. False when the list could not be replaced; the old file is then
// as it was.
bool ReplaceListFile(const WCHAR* path, const char* bytes, DWORD size);

// The file a save replaces: `path` itself, or, when it is a reparse point
// (a link), the file it resolves to, as a plain path of fewer than MAX_PATH
// units ("\\?\" dropped, "\\?\UNC\" back to "\\"). A link that cannot be
// resolved so is replaced under its own name. `target` has MAX_PATH units.
void ResolveListFile(const WCHAR* path, WCHAR* target);
