#include "list_file_replace.h"

#include <string.h>

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
// that). Asked by attributes alone: an open to probe it would conflict
// with the very readers (indexers, scanners, sync clients) that the
// replacement lets keep the old file. A file another program holds
// without sharing its deletion makes the replacement fail with nothing
// moved; with the backup name given, Wine leaves no file of its own then.
static bool MayReplace(const WCHAR* path, DWORD* attributes)
{
    *attributes = GetFileAttributesW(path);
    if (*attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    return (*attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// Whether the open file goes when its handle closes: while the list
// is written the temporary file goes with its handle, so that a crash in
// the middle leaves nothing behind.
static void SetDeleteOnClose(HANDLE file, BOOL deleteOnClose)
{
    FILE_DISPOSITION_INFO disposition;
    disposition.DeleteFile = deleteOnClose;
    // Should the system refuse, the failure paths below still delete the
    // file; only a crash would leave it.
    SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// Writes and flushes the new list into `temporary`, which exists (empty).
static bool WriteTemporary(const WCHAR* temporary, const char* bytes, DWORD size)
{
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    SetDeleteOnClose(file, TRUE);
    DWORD done = 0;
    bool written = (size == 0 || (WriteFile(file, bytes, size, &done, nullptr) && done == size)) &&
                   FlushFileBuffers(file);
    if (written) SetDeleteOnClose(file, FALSE);  // kept: it is the new list
    CloseHandle(file);
    return written;
}

// A name in `folder` that no file has, for the old list while the new one
// takes its place. The system makes the file to claim the name; the
// replacement writes over it.
static bool MakeBackupName(const WCHAR* folder, WCHAR* backup)
{
    if (GetTempFileNameW(folder, L"clb", 0, backup) == 0) return false;
    // An empty file of our own making: the replacement may find the name
    // taken on some systems, so it is given back free.
    DeleteFileW(backup);
    return true;
}

// A copy held by a program that was quicker than us (a scanner looking at
// a file it saw appear) is tried a few times more, briefly.
enum { kRetries = 5, kRetryPauseMs = 20 };

// Deletes the old list's copy after a success. True when it is gone (or
// was never made: the rename that put the list in place needs none).
static bool DeleteOldCopy(const WCHAR* backup)
{
    for (int attempt = 0;; ++attempt) {
        if (DeleteFileW(backup) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
        if (attempt == kRetries) return false;
        Sleep(kRetryPauseMs);
    }
}

// The old list, moved aside to `backup`, goes back under its name, which
// holds nothing. True when it is there again.
static bool PutOldListBack(const WCHAR* backup, const WCHAR* target)
{
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(backup, target, MOVEFILE_WRITE_THROUGH)) return true;
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

// Where the replacement left the lists.
enum Placement {
    kPlaced,     // the new list is under the list's name
    kNotPlaced,  // the old list is under its name (or there was none)
    kOldAside,   // the old list is under the backup name only
};

// The replacement stopped half way (the system may have moved the old list
// aside but could not move the new one in): finish it by a move of its
// own; failing that, the old list goes back under its name.
static Placement FinishReplacement(const WCHAR* temporary, const WCHAR* target,
                                   const WCHAR* backup)
{
    if (MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return kPlaced;
    }
    // The backup name is new to this save: a file under it is the old list.
    if (GetFileAttributesW(backup) == INVALID_FILE_ATTRIBUTES) return kNotPlaced;
    if (GetFileAttributesW(target) == INVALID_FILE_ATTRIBUTES && PutOldListBack(backup, target)) {
        return kNotPlaced;
    }
    return kOldAside;
}

// Puts the written temporary file in the list's place, the old list kept
// under `backup` until the new one is known to be there.
static Placement PutInPlace(const WCHAR* temporary, const WCHAR* target, const WCHAR* backup,
                            DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExW(temporary, target, MOVEFILE_WRITE_THROUGH) ? kPlaced : kNotPlaced;
    }
    if (!ReplaceFileW(target, temporary, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr)) {
        DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION) {
            // Nothing moved: another program has one of the files open (Wine
            // refuses any reader of the new one). A rename over the old list
            // still puts it in place in one step where that program allows
            // it; where not, the old list stays.
            if (!MoveFileExW(temporary, target,
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return kNotPlaced;
            }
        } else if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
                   error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            return kNotPlaced;  // nothing moved: the old list is where it was
        } else {
            Placement finished = FinishReplacement(temporary, target, backup);
            if (finished != kPlaced) return finished;
        }
    }
    // The user's attributes (hidden, say) stay; the archive bit says the
    // list changed, as after any write. Failing that, the list is still
    // saved whole.
    // FILE_ATTRIBUTE_NORMAL stands only alone.
    DWORD wanted = (attributes & ~(DWORD)FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE;
    if (GetFileAttributesW(target) != wanted) SetFileAttributesW(target, wanted);
    return kPlaced;
}

ListReplaceResult PutListFileInPlace(const WCHAR* temporary, const WCHAR* target,
                                     const WCHAR* backup)
{
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!MayReplace(target, &attributes)) {
        DeleteFileW(temporary);  // the old list stays; nothing more to do if even this fails
        return kReplaceFailed;
    }
    switch (PutInPlace(temporary, target, backup, attributes)) {
    case kPlaced:
        return DeleteOldCopy(backup) ? kReplaceDone : kReplaceDoneOldKept;
    case kNotPlaced:
        // The old list is in its place (it never left, or it went back), or
        // there was none: the new copy is no longer needed.
        DeleteFileW(temporary);
        return kReplaceFailed;
    default:
        // The old list is only under the backup name, which the failure
        // names. The new one is still in the editor, to be saved again: its
        // copy would be one more file to puzzle over.
        DeleteFileW(temporary);
        return kReplaceFailedMoved;
    }
}

ListReplaceResult ReplaceListFile(const WCHAR* path, const char* bytes, DWORD size, WCHAR* left,
                                  ListStillAsRead unchanged, const void* context)
{
    if (left) left[0] = L'\0';
    WCHAR target[MAX_PATH];
    ResolveListFile(path, target);
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!MayReplace(target, &attributes)) return kReplaceFailed;

    WCHAR folder[MAX_PATH];
    lstrcpynW(folder, target, MAX_PATH);
    WCHAR* slash = wcsrchr(folder, L'\\');
    if (!slash) return kReplaceFailed;
    slash[1] = L'\0';  // a file in a drive's root keeps "C:\"
    WCHAR temporary[MAX_PATH];
    WCHAR backup[MAX_PATH];
    // The name is unique in the folder and the file exists from here on.
    if (GetTempFileNameW(folder, L"clp", 0, temporary) == 0) return kReplaceFailed;
    if (!WriteTemporary(temporary, bytes, size) || !MakeBackupName(folder, backup)) {
        DeleteFileW(temporary);  // nothing more to do if even this fails
        return kReplaceFailed;
    }
    if (unchanged && !unchanged(context)) {
        DeleteFileW(temporary);  // nothing more to do if even this fails
        return kReplaceChanged;
    }
    // Asked again just before the swap: the file may have been made
    // read-only while the list was written.
    ListReplaceResult result = PutListFileInPlace(temporary, target, backup);
    if (left && (result == kReplaceDoneOldKept || result == kReplaceFailedMoved)) {
        lstrcpynW(left, backup, MAX_PATH);
    }
    return result;
}
