// Replacing the clip list file with new bytes so that a failure at any point
// leaves one whole copy of the list: the old one or the new one, never
// neither and never half of one.
#pragma once
#include <windows.h>

enum ListReplaceResult {
    kReplaceDone,         // the new list is in place; no copy is left
    kReplaceDoneOldKept,  // the new list is in place, but the old one's copy
                          // could not be deleted: it is still there (or it
                          // holds a change another program made in the last
                          // moment before the swap, which could not be put
                          // back since the new list was written too)
    kReplaceFailed,       // the old list is as it was (or there was none):
                          // given only when nothing is known to have moved
    kReplaceFailedMoved,  // failed, and the old list is not known to be
                          // under its name: its name holds nothing (or
                          // what holds it is unknown), and the old list is
                          // under the backup name
    kReplaceChanged,      // another program wrote the list meanwhile: the
                          // old list is as that program left it
};

// Asked just before the new list takes the old one's place: true while the
// file is still as the caller last read it.
typedef bool (*ListStillAsRead)(const void* context);

// Writes `size` bytes to a new file beside `path`, flushes it, and puts it
// in path's place: where path is a link, in the place of the file it points
// to. The replaced file's attributes stay, with the archive bit set as after
// any write. A read-only file or a folder is not replaced. For the two
// results that leave a copy behind, `left` (room for MAX_PATH units, or
// null) names it.
//
// The swap: the new list takes the name in one rename over the old file
// (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), so that the name
// never stands empty; the old list is kept aside under a second name (a
// hard link, or a copy where the file system has none) until the new one is
// in place. A rename cannot replace a file that is open, so a reader that
// keeps the list open (an indexer, a viewer) is waited for briefly; one that
// keeps it open through every try has the old list moved away under it
// (it goes on reading the old file) and the new one put under the name: only
// then does the name stand empty, for that moment. Any failure of the
// rename is followed by a look at where the lists are: kReplaceFailed only
// when the old list is still (or again) under its name.
//
// The race: with `unchanged`, the new list takes the old one's place only
// while unchanged(context) says the file is as the caller read it. When it
// is called, after the slow part (writing and flushing), the list (where
// there is one) is held open by this function for reading, sharing reading
// and deletion but not writing: from that call's answer to the swap no
// program writes the list in place without the swap seeing it. One that has
// it open for writing keeps the hold, and with it the save, out for a
// moment (kReplaceFailed once that lasts). The callback may open and read
// the list through a handle of its own that shares everything. No rename
// replaces an open file, so the hold is let go before the rename: a writer
// it kept out goes first (the swap waits a moment for it), and the list is
// looked at once more by name, which that writer's change, or a rename
// over the list (the file under the name is compared with the held one by
// identity), makes kReplaceChanged with nothing replaced. A write that
// still lands between that look and the rename goes into the old file,
// which the rename finds closed and which is then under the backup name:
// it is seen there, the old list goes back under its name in one rename,
// and the result is kReplaceChanged. Where the file system has no hard
// links, a write in that last moment cannot be seen. A writer that never
// pauses makes every try kReplaceChanged: the caller gives up, never a line.
//
// The new list's file is marked to be deleted with its last handle from
// the moment it is made until it is complete and about to be renamed, and
// its handle is kept open through the rename: no program that does not
// share writing can open it meanwhile, and a failure, a crash or a program
// that holds it never leaves it behind once that program lets go.
ListReplaceResult ReplaceListFile(const WCHAR* path, const char* bytes, DWORD size,
                                  WCHAR* left = nullptr, ListStillAsRead unchanged = nullptr,
                                  const void* context = nullptr);

// The last step of that, for a file written beforehand: puts the flushed
// file `temporary` in the place of `target` (both in one folder), keeping
// the old list under `backup` (a free name there) until the new one is in
// place. Each copy is deleted only once the list is known to be whole under
// its name: the old one after a success, the new one after a failure that
// left the old one (or none) there.
ListReplaceResult PutListFileInPlace(const WCHAR* temporary, const WCHAR* target,
                                     const WCHAR* backup);

// The rename every step above makes, MoveFileExW; tests put in its place a
// file system that fails in its own ways.
typedef BOOL(WINAPI* ListFileRename)(const WCHAR* from, const WCHAR* to, DWORD flags);
extern ListFileRename m_ListFileRename;
