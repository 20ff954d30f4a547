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
// plain file that is not read-only and that no other program holds.
// Replacing by rename would pass over a read-only file, so that is asked
// here; and a held file is found before the replacement starts, since
// Wine's replacement leaves a file of its own behind when it fails.
static bool MayReplace(const WCHAR* path, DWORD* attributes)
{
    *attributes = GetFileAttributesW(path);
    if (*attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    if (*attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    HANDLE file = CreateFileW(path, DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);  // only asked: nothing was read or written
    return true;
}

// Marks the open file for deletion, or takes the mark back: while the list
// is written the temporary file goes with its handle, so that a crash in
// the middle leaves nothing behind.
static void MarkForDeletion(HANDLE file, BOOL remove)
{
    FILE_DISPOSITION_INFO disposition;
    disposition.DeleteFile = remove;
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
    MarkForDeletion(file, TRUE);
    DWORD done = 0;
    bool written = (size == 0 || (WriteFile(file, bytes, size, &done, nullptr) && done == size)) &&
                   FlushFileBuffers(file);
    if (written) MarkForDeletion(file, FALSE);
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

// The replacement stopped half way (the system moved the old list aside but
// could not move the new one in): finish it by a move of its own. True when
// the new list is in place; otherwise the old one is put back if it can be.
static bool FinishReplacement(const WCHAR* temporary, const WCHAR* target, const WCHAR* backup)
{
    if (MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (GetFileAttributesW(target) == INVALID_FILE_ATTRIBUTES) {
        // Nothing under the list's name: the old list goes back. Should even
        // that fail, both copies stay where they are for the user to find.
        MoveFileExW(backup, target, MOVEFILE_WRITE_THROUGH);
    }
    return false;
}

// Puts the written temporary file in the list's place, the old list kept
// under `backup` until the new one is known to be there.
static bool PutInPlace(const WCHAR* temporary, const WCHAR* target, const WCHAR* backup,
                       DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExW(temporary, target, MOVEFILE_WRITE_THROUGH) != FALSE;
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
                return false;
            }
        } else if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
                   error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            return false;  // nothing moved: the old list is where it was
        } else if (!FinishReplacement(temporary, target, backup)) {
            return false;
        }
    }
    // The user's attributes (hidden, say) stay; the archive bit says the
    // list changed, as after any write. Failing that, the list is still
    // saved whole.
    // FILE_ATTRIBUTE_NORMAL stands only alone.
    DWORD wanted = (attributes & ~(DWORD)FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE;
    if (GetFileAttributesW(target) != wanted) SetFileAttributesW(target, wanted);
    return true;
}

bool PutListFileInPlace(const WCHAR* temporary, const WCHAR* target, const WCHAR* backup)
{
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!MayReplace(target, &attributes)) {
        DeleteFileW(temporary);  // the old list stays; nothing more to do if even this fails
        return false;
    }
    const bool hadList = attributes != INVALID_FILE_ATTRIBUTES;
    if (PutInPlace(temporary, target, backup, attributes)) {
        DeleteFileW(backup);  // the old list; not there when the list was new
        return true;
    }
    // The old list is in its place (it never left, or it went back), or
    // there was none: the new copy is no longer needed. When the list's
    // name holds nothing, both copies stay for the user to find.
    if (GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES || !hadList) {
        DeleteFileW(temporary);
    }
    return false;
}

bool ReplaceListFile(const WCHAR* path, const char* bytes, DWORD size)
{
    WCHAR target[MAX_PATH];
    ResolveListFile(path, target);
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!MayReplace(target, &attributes)) return false;

    WCHAR folder[MAX_PATH];
    lstrcpynW(folder, target, MAX_PATH);
    WCHAR* slash = wcsrchr(folder, L'\\');
    if (!slash) return false;
    slash[1] = L'\0';  // a file in a drive's root keeps "C:\"
    WCHAR temporary[MAX_PATH];
    WCHAR backup[MAX_PATH];
    // The name is unique in the folder and the file exists from here on.
    if (GetTempFileNameW(folder, L"clp", 0, temporary) == 0) return false;
    if (!WriteTemporary(temporary, bytes, size) || !MakeBackupName(folder, backup)) {
        DeleteFileW(temporary);  // nothing more to do if even this fails
        return false;
    }
    // Asked again just before the swap: the file may have been made
    // read-only or opened by another program while the list was written.
    return PutListFileInPlace(temporary, target, backup);
}
