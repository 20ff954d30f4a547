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

// The last step of that: puts the written and flushed file `temporary` in
// the place of `target` (both in one folder), keeping the old list under
// `backup` (a free name there) until the new one is in place. Each copy is
// deleted only once the list is known to be whole under its name: the old
// one after a success, the new one after a failure that left the old one
// (or none) there. False when the new list is not in place.
bool PutListFileInPlace(const WCHAR* temporary, const WCHAR* target, const WCHAR* backup);
