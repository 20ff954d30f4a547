#include "list_file_replace.h"

#include <string.h>

#include "list_file_stamp.h"

ListFileRename m_ListFileRename = MoveFileExW;

// "\\?\C:\x" becomes "C:\x" and "\\?\UNC\server\x" becomes "\\server\x",
// in place; the length check comes after, on the path as it is used.
static void DropLongPrefix(WCHAR* path)
{
    if (wcsncmp(path, L"\\\\?\\UNC\\", 8) == 0) {
        memmove(path + 2, path + 8, (wcslen(path + 8) + 1) * sizeof(WCHAR));
    } else if (wcsncmp(path, L"\\\\?\\", 4) == 0) {
        memmove(path, path + 4, (wcslen(path + 4) + 1) * sizeof(WCHAR));
    }
}

// The file a save replaces: where `path` is a link, the file it resolves
// to, so that the link stays and its target gets the list; as a plain path
// of fewer than MAX_PATH units. `target` has MAX_PATH units. Every path is
// asked, not only those the system marks as reparse points: Wine does not
// mark a Unix symbolic link so. Where the final name cannot be had (volumes
// without a mount manager entry, some redirectors) or is too long, the file
// is replaced under the name it was given.
static void ResolveListFile(const WCHAR* path, WCHAR* target)
{
    lstrcpynW(target, path, MAX_PATH);
    HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;  // a new list: made under its name
    // Room for the longest plain path and the "\\?\UNC\" the system adds.
    WCHAR final[MAX_PATH + 8];
    DWORD length = GetFinalPathNameByHandleW(file, final, MAX_PATH + 8,
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(file);  // opened for its name only
    if (length == 0 || length >= MAX_PATH + 8) return;
    DropLongPrefix(final);
    if (wcslen(final) < MAX_PATH) lstrcpynW(target, final, MAX_PATH);
}

// True when the file may be replaced: it does not exist yet, or it is a
// plain file that is not read-only (replacing by rename would pass over
// that). Asked by attributes alone, before anything is written.
static bool MayReplace(const WCHAR* path, DWORD* attributes)
{
    *attributes = GetFileAttributesW(path);
    if (*attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    return (*attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// The folder of `path` with its final backslash ("C:\\" for a file in a
// drive's root). `folder` has MAX_PATH units.
static bool FolderOf(const WCHAR* path, WCHAR* folder)
{
    lstrcpynW(folder, path, MAX_PATH);
    WCHAR* slash = wcsrchr(folder, L'\\');
    if (!slash) return false;
    slash[1] = L'\0';
    return true;
}

static bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Another program has the file open in a way that keeps this step out for
// now: a rename cannot replace an open file, a hold cannot share a writer.
static bool IsBusy(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_LOCK_VIOLATION;
}

// Such a program is waited for this many times, this long each: readers
// and writers of a small list hold it for a few milliseconds.
enum { kBusyTries = 30, kBusyPauseMs = 4 };
// A writer that the hold kept out retries within about this long.
enum { kLetWritersPassMs = 4 };
// A copy held by a program that was quicker than us (a scanner looking at
// a file it saw appear) is tried a few times more, briefly.
enum { kRetries = 5, kRetryPauseMs = 20 };

// Whether the open file goes when its last handle closes.
static bool SetDeleteOnClose(HANDLE file, BOOL deleteOnClose)
{
    FILE_DISPOSITION_INFO disposition;
    disposition.DeleteFile = deleteOnClose;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

// A free name in `folder` with `prefix`, tried `attempt` times so far; the
// caller's create or link claims it. False when the folder is too deep.
static bool FreeName(const WCHAR* folder, const WCHAR* prefix, int attempt, WCHAR* name)
{
    const UINT start = GetTickCount() ^ (GetCurrentProcessId() << 8);
    const UINT unique = (start + (UINT)attempt) % 0xFFFF + 1;  // never 0: that makes a file
    return GetTempFileNameW(folder, prefix, unique, name) != 0;
}

// The new list's file, made under a free "clp" name by this open and marked
// to go with its last handle from the start: a crash, a failure or a
// program that still holds it can never leave the user's list behind in a
// stray file. Its handle stays open through the swap, and writes without
// sharing writing: no program that shares only reading (a scanner) can
// open it meanwhile.
static HANDLE CreateTemporary(const WCHAR* folder, WCHAR* temporary)
{
    for (int attempt = 0; attempt < 64; ++attempt) {
        if (!FreeName(folder, L"clp", attempt, temporary)) return INVALID_HANDLE_VALUE;
        HANDLE file = CreateFileW(temporary, GENERIC_READ | GENERIC_WRITE | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            // Should the system refuse, the failure paths still delete it
            // by name; only a crash would leave it.
            SetDeleteOnClose(file, TRUE);
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

static bool WriteAll(HANDLE file, const char* bytes, DWORD size)
{
    DWORD done = 0;
    while (done < size) {
        DWORD wrote = 0;
        if (!WriteFile(file, bytes + done, size - done, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return FlushFileBuffers(file) != FALSE;
}

// The list held open for reading without sharing writing: while held, no
// program writes it in place. One that has it open for writing now keeps
// the hold out, for a moment. Readers and renames are shared.
static HANDLE HoldList(const WCHAR* target, DWORD* error)
{
    for (int attempt = 0;; ++attempt) {
        HANDLE held = CreateFileW(target, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (held != INVALID_HANDLE_VALUE) return held;
        *error = GetLastError();
        if (*error != ERROR_SHARING_VIOLATION || attempt == kBusyTries) return held;
        Sleep(kBusyPauseMs);
    }
}

// One swap's files.
struct Swap {
    HANDLE fresh;            // the new list's file, open
    bool freshDeletable;     // opened with DELETE: it can be marked to go
    const WCHAR* temporary;  // its name
    const WCHAR* target;     // the list's name
    WCHAR folder[MAX_PATH];  // its folder, with the final backslash
    ListFileStamp freshStamp;
    DWORD attributes;        // the old list's; INVALID_FILE_ATTRIBUTES: there was none
    ListFileStamp old;       // the old list as held when it was last known unchanged
    WCHAR backup[MAX_PATH];  // the old list's second name, once made
    bool backupGiven;        // by the caller, not chosen here
    bool backupMade;
    bool backupLinked;  // a hard link: the old file itself, with any write made to it
};

// Deletes the old list's copy. True when it is gone (or was never made).
static bool DeleteOldCopy(const WCHAR* backup)
{
    for (int attempt = 0;; ++attempt) {
        if (DeleteFileW(backup) || IsMissing(GetLastError())) return true;
        if (attempt == kRetries) return false;
        Sleep(kRetryPauseMs);
    }
}

// The old list, aside under `backup`, goes back under its name, which
// holds nothing. True when it is there again.
static bool PutOldListBack(const WCHAR* backup, const WCHAR* target)
{
    for (int attempt = 0;; ++attempt) {
        if (m_ListFileRename(backup, target, MOVEFILE_WRITE_THROUGH)) return true;
        // Taken meanwhile by another program: the name is not ours to fill.
        if (GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES) return false;
        if (attempt == kRetries) break;
        Sleep(kRetryPauseMs);
    }
    // A program that reads the old copy but lets no one rename it: a copy
    // of it under the list's name is the list again. The copy aside then
    // goes if it can.
    if (!CopyFileW(backup, target, TRUE)) return false;
    DeleteFileW(backup);
    return true;
}

enum AsideOutcome { kAsideKept, kAsideFailed, kAsideChanged };

// The same bytes as the held list, by the stamps of two different files.
static bool SameBytesAsHeld(const ListFileStamp& copy, const ListFileStamp& held)
{
    return copy.error == 0 && copy.size.QuadPart == held.size.QuadPart &&
           copy.hashed == held.hashed && (!held.hashed || copy.hash == held.hash);
}

// The old list gets a second name for as long as the swap lasts: a hard
// link to the held file, so that it is the very file; where the file system
// has no links, a copy. Made by name, so it is checked to be the held file:
// a rename over the list since the hold shows there.
static AsideOutcome KeepOldAside(Swap* swap)
{
    for (int attempt = 0; attempt < 64; ++attempt) {
        if (!swap->backupGiven && !FreeName(swap->folder, L"clb", attempt, swap->backup)) {
            return kAsideFailed;
        }
        swap->backupLinked = CreateHardLinkW(swap->backup, swap->target, nullptr) != FALSE;
        const bool copied = !swap->backupLinked && GetLastError() != ERROR_ALREADY_EXISTS &&
                            CopyFileW(swap->target, swap->backup, TRUE);
        if (swap->backupLinked || copied) {
            swap->backupMade = true;
            if (swap->backupLinked) {
                return SameFileIdentity(TakeListFileStamp(swap->backup, false), swap->old)
                           ? kAsideKept
                           : kAsideChanged;
            }
            const bool same = SameFileIdentity(TakeListFileStamp(swap->target, false), swap->old) &&
                              SameBytesAsHeld(TakeListFileStamp(swap->backup), swap->old);
            return same ? kAsideKept : kAsideChanged;
        }
        const DWORD error = GetLastError();
        if (swap->backupGiven || (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)) {
            return kAsideFailed;
        }
    }
    return kAsideFailed;
}

// Where a failed rename left the lists.
enum Placement {
    kPlaced,     // the new list is under the list's name
    kNotPlaced,  // the old list is under its name (or there was none)
    kOtherFile,  // another program's file is under the name
    kOldAside,   // the old list is under the backup name only
    kUnknown,    // the name cannot be asked; the old list is under the backup name too
};

// Any failure of a rename is followed by this look at the name, since a
// file system (a filter driver, a network redirector) may have moved
// something before it failed: only the files' identities tell.
static Placement FindList(Swap* swap)
{
    const ListFileStamp now = TakeListFileStamp(swap->target, false);
    const bool hadList = swap->attributes != INVALID_FILE_ATTRIBUTES;
    if (now.error == 0) {
        if (SameFileIdentity(now, swap->freshStamp)) return kPlaced;
        if (hadList && SameFileIdentity(now, swap->old)) return kNotPlaced;
        return kOtherFile;
    }
    if (IsMissing(now.error)) {
        if (!hadList) return kNotPlaced;
        if (!swap->backupMade) return kOtherFile;  // deleted by another program
        return PutOldListBack(swap->backup, swap->target) ? kNotPlaced : kOldAside;
    }
    // The name cannot be opened (a program holds it without sharing): the
    // new file still under its own name moved nowhere, and the old one
    // still has its name when its links say so.
    const bool freshAside =
        SameFileIdentity(TakeListFileStamp(swap->temporary, false), swap->freshStamp);
    if (!hadList) return freshAside ? kNotPlaced : kUnknown;
    const ListFileStamp aside = TakeListFileStamp(swap->backup, false);
    if (freshAside && swap->backupLinked && SameFileIdentity(aside, swap->old) &&
        aside.links >= 2) {
        return kNotPlaced;
    }
    return kUnknown;
}

// The new list's file goes: at once, or when the last program that has it
// open lets go.
static void DropFresh(Swap* swap)
{
    if (!swap->freshDeletable || !SetDeleteOnClose(swap->fresh, TRUE)) {
        DeleteFileW(swap->temporary);  // nothing more to do if even this fails
    }
}

// A program wrote the old list in place in the moment between the hold's
// release and the rename: its change is in the file under the backup name.
// That file goes back under the list's name in one rename over the new
// list, provided nothing has written or replaced the new list yet; the
// caller then reads and merges again.
static bool PutChangedListBack(Swap* swap)
{
    for (int attempt = 0;; ++attempt) {
        DWORD error = 0;
        HANDLE held = HoldList(swap->target, &error);
        if (held == INVALID_HANDLE_VALUE) return false;
        const ListFileStamp now = TakeListFileStampOf(held, false);
        CloseHandle(held);  // no rename replaces an open file
        if (!SameFileIdentity(now, swap->freshStamp) || !SameListBytes(now, swap->freshStamp)) {
            return false;  // both changes stay: ours in place, theirs aside
        }
        if (m_ListFileRename(swap->backup, swap->target,
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (!IsBusy(GetLastError()) || attempt == kBusyTries) return false;
        Sleep(kBusyPauseMs);
    }
}

// The new list is under the name.
static ListReplaceResult FinishPlaced(Swap* swap)
{
    // The new file is the list now: it stays when its handle closes, and
    // that handle would keep any rename over it out.
    CloseHandle(swap->fresh);
    swap->fresh = INVALID_HANDLE_VALUE;
    if (swap->attributes == INVALID_FILE_ATTRIBUTES) return kReplaceDone;
    if (swap->backupLinked) {
        const ListFileStamp aside = TakeListFileStamp(swap->backup);
        if (aside.error == 0 && !SameListBytes(aside, swap->old)) {
            return PutChangedListBack(swap) ? kReplaceChanged : kReplaceDoneOldKept;
        }
    }
    // The user's attributes (hidden, say) stay; the archive bit says the
    // list changed, as after any write. Failing that, the list is still
    // saved whole. FILE_ATTRIBUTE_NORMAL stands only alone.
    DWORD wanted = (swap->attributes & ~(DWORD)FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE;
    if (GetFileAttributesW(swap->target) != wanted) SetFileAttributesW(swap->target, wanted);
    return DeleteOldCopy(swap->backup) ? kReplaceDone : kReplaceDoneOldKept;
}

static ListReplaceResult Settle(Swap* swap, Placement placement)
{
    switch (placement) {
    case kPlaced: return FinishPlaced(swap);
    case kNotPlaced:
    case kOtherFile:
        // The old list is under its name, or another program's list is:
        // neither copy is needed.
        if (swap->backupMade) DeleteOldCopy(swap->backup);
        DropFresh(swap);
        return placement == kNotPlaced ? kReplaceFailed : kReplaceChanged;
    case kOldAside:
        DropFresh(swap);  // not under the name, which holds nothing
        return kReplaceFailedMoved;
    case kUnknown:
        // The new list may be under the name: it stays. Its own name goes
        // only if it still holds it.
        if (SameFileIdentity(TakeListFileStamp(swap->temporary, false), swap->freshStamp)) {
            DropFresh(swap);
        }
        return swap->attributes == INVALID_FILE_ATTRIBUTES ? kReplaceFailed : kReplaceFailedMoved;
    }
    return kReplaceFailed;
}

// True while the list's name still holds the old list with the bytes the
// caller last saw; asked without holding it, so that no writer waits on
// this look.
static bool OldListStillThere(const Swap* swap)
{
    const ListFileStamp now = TakeListFileStamp(swap->target);
    return SameFileIdentity(now, swap->old) && SameListBytes(now, swap->old);
}

// A reader kept the list open through every try. No rename replaces an open
// file, but one moves it away: the old list goes under a free name, and the
// new one under the list's name, which holds nothing for that moment. The
// reader goes on reading the old file, which is still kept under the backup
// name as well; its other name goes with the reader.
static Placement MoveAroundReader(Swap* swap)
{
    if (!OldListStillThere(swap)) return kOtherFile;
    WCHAR away[MAX_PATH];
    bool moved = false;
    for (int attempt = 0; !moved && attempt < 64; ++attempt) {
        if (!FreeName(swap->folder, L"clb", attempt, away)) return kNotPlaced;
        moved = m_ListFileRename(swap->target, away, MOVEFILE_WRITE_THROUGH) != FALSE;
        if (!moved && GetLastError() != ERROR_ALREADY_EXISTS) return FindList(swap);
    }
    if (!moved) return kNotPlaced;
    DeleteFileW(away);  // the file stays under the backup name
    if (m_ListFileRename(swap->temporary, swap->target, MOVEFILE_WRITE_THROUGH)) return kPlaced;
    return FindList(swap);  // the name holds nothing: the old list goes back
}

// Puts the written new list in the list's place: see the header.
static ListReplaceResult SwapIn(Swap* swap, ListStillAsRead unchanged, const void* context)
{
    swap->freshStamp = TakeListFileStampOf(swap->fresh, false);
    if (swap->attributes == INVALID_FILE_ATTRIBUTES) {
        if (unchanged && !unchanged(context)) return Settle(swap, kOtherFile);
        if (swap->freshDeletable && !SetDeleteOnClose(swap->fresh, FALSE)) {
            return Settle(swap, kNotPlaced);
        }
        // Not over anything: a list another program made meanwhile stays.
        if (m_ListFileRename(swap->temporary, swap->target, MOVEFILE_WRITE_THROUGH)) {
            return Settle(swap, kPlaced);
        }
        return Settle(swap, FindList(swap));
    }

    DWORD error = 0;
    HANDLE held = HoldList(swap->target, &error);
    if (held == INVALID_HANDLE_VALUE) {
        return Settle(swap, IsMissing(error) ? kOtherFile : kNotPlaced);
    }
    swap->old = TakeListFileStampOf(held);
    AsideOutcome aside = kAsideChanged;
    if (!unchanged || unchanged(context)) aside = KeepOldAside(swap);
    // From here the new file is complete: it must not go with its handle
    // once it is the list.
    if (aside == kAsideKept && swap->freshDeletable && !SetDeleteOnClose(swap->fresh, FALSE)) {
        aside = kAsideFailed;
    }
    if (aside != kAsideKept) {
        CloseHandle(held);
        return Settle(swap, aside == kAsideChanged ? kOtherFile : kNotPlaced);
    }
    // Let go only now: no rename replaces an open file, not even for the
    // program that holds it.
    CloseHandle(held);
    for (int attempt = 0;; ++attempt) {
        // A writer the hold kept out goes first, and its change is seen
        // here, before anything moves. One that comes between this look and
        // the rename writes the old file, which the rename then finds
        // closed: FinishPlaced sees its change under the backup name.
        Sleep(attempt == 0 ? (DWORD)kLetWritersPassMs : (DWORD)kBusyPauseMs);
        if (!OldListStillThere(swap)) return Settle(swap, kOtherFile);
        if (m_ListFileRename(swap->temporary, swap->target,
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return Settle(swap, kPlaced);
        }
        const DWORD renameError = GetLastError();
        const Placement placement = FindList(swap);
        if (placement != kNotPlaced || !IsBusy(renameError)) return Settle(swap, placement);
        if (attempt == kBusyTries) break;
    }
    // Only a reader of the list, not of the new file (which this swap holds
    // with deletion shared), is left to keep the rename out.
    return Settle(swap, swap->freshDeletable ? MoveAroundReader(swap) : kNotPlaced);
}

ListReplaceResult PutListFileInPlace(const WCHAR* temporary, const WCHAR* target,
                                     const WCHAR* backup)
{
    Swap swap = {};
    swap.temporary = temporary;
    swap.target = target;
    lstrcpynW(swap.backup, backup, MAX_PATH);
    swap.backupGiven = true;
    if (!FolderOf(target, swap.folder) || !MayReplace(target, &swap.attributes)) {
        DeleteFileW(temporary);  // the old list stays; nothing more to do if even this fails
        return kReplaceFailed;
    }
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    swap.fresh = CreateFileW(temporary, DELETE | FILE_READ_ATTRIBUTES, shareAll, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    swap.freshDeletable = swap.fresh != INVALID_HANDLE_VALUE;
    if (!swap.freshDeletable) {
        // Held by a program that keeps its deletion out: known by name alone.
        swap.fresh = CreateFileW(temporary, FILE_READ_ATTRIBUTES, shareAll, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        if (swap.fresh == INVALID_HANDLE_VALUE) return kReplaceFailed;
    }
    const ListReplaceResult result = SwapIn(&swap, nullptr, nullptr);
    if (swap.fresh != INVALID_HANDLE_VALUE) CloseHandle(swap.fresh);
    return result;
}

ListReplaceResult ReplaceListFile(const WCHAR* path, const char* bytes, DWORD size, WCHAR* left,
                                  ListStillAsRead unchanged, const void* context)
{
    if (left) left[0] = L'\0';
    WCHAR target[MAX_PATH];
    ResolveListFile(path, target);
    Swap swap = {};
    swap.target = target;
    if (!MayReplace(target, &swap.attributes)) return kReplaceFailed;

    if (!FolderOf(target, swap.folder)) return kReplaceFailed;
    WCHAR temporary[MAX_PATH];
    swap.temporary = temporary;
    swap.fresh = CreateTemporary(swap.folder, temporary);
    if (swap.fresh == INVALID_HANDLE_VALUE) return kReplaceFailed;
    swap.freshDeletable = true;
    ListReplaceResult result = kReplaceFailed;
    // The list is held only after the slow part: a writer kept out for the
    // whole writing and flushing would be waiting at every release.
    if (WriteAll(swap.fresh, bytes, size)) {
        result = SwapIn(&swap, unchanged, context);
    } else {
        DropFresh(&swap);
    }
    // A new list not in place goes with its handle.
    if (swap.fresh != INVALID_HANDLE_VALUE) CloseHandle(swap.fresh);
    if (left && swap.backupMade &&
        (result == kReplaceDoneOldKept || result == kReplaceFailedMoved)) {
        lstrcpynW(left, swap.backup, MAX_PATH);
    }
    return result;
}
