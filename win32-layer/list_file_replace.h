// Replacing the clip list file with new bytes so that a failure at any point
// leaves one whole copy of the list: the old one or the new one, never
// neither and never half of one.
#pragma once
#include <windows.h>

enum ListReplaceResult {
    kReplaceDone,         // the new list is in place; no copy is left
    kReplaceDoneOldKept,  // the new list is in place, but the old one's copy
                          // could not be deleted: it is still there
    kReplaceFailed,       // the old list is as it was (or there was none)
    kReplaceFailedMoved,  // failed half way, and the old list could not be
                          // put back: its name holds nothing, and the old
                          // list is under the backup name
    kReplaceChanged,      // another program wrote the list meanwhile: the
                          // old list is as that program left it
};

// Asked just before the new list takes the old one's place: true while the
// file is still as the caller last read it.
typedef bool (*ListStillAsRead)(const void* context);

// Writes `size` bytes to a new file beside `path`, flushes it, and puts it
// in path's place: where path is a link, in the place of the file it points
// to. The replaced file's attributes stay, with the archive bit set as after
// any write. A read-only file or a folder is not replaced; a file that
// other programs hold open is, where they share it for deletion (an
// indexer, a scanner, a sync client): they keep the old file. For the two
// results that leave a copy behind, `left` (room for MAX_PATH units, or
// null) names it. With `unchanged`, the new list takes the old one's place
// only while unchanged(context) says the file is as the caller read it:
// checked after the slow part (writing and flushing the new list), so that
// another program's change between the caller's read and the swap is seen.
ListReplaceResult ReplaceListFile(const WCHAR* path, const char* bytes, DWORD size,
                                  WCHAR* left = nullptr, ListStillAsRead unchanged = nullptr,
                                  const void* context = nullptr);

// The last step of that: puts the written and flushed file `temporary` in
// the place of `target` (both in one folder), keeping the old list under
// `backup` (a free name there) until the new one is in place. Each copy is
// deleted only once the list is known to be whole under its name: the old
// one after a success, the new one after a failure that left the old one
// (or none) there. When the replacement stops half way, the old list goes
// back under its name before the failure is given; only when even that
// fails is it left under `backup` (kReplaceFailedMoved), with the new one
// under `temporary`.
ListReplaceResult PutListFileInPlace(const WCHAR* temporary, const WCHAR* target,
                                     const WCHAR* backup);
