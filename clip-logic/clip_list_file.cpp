#include "clip_list_file.h"

#include <string.h>

#include "app_state.h"
#include "bounded_text.h"
#include "clip_lines.h"
#include "messages.h"
#include "text_convert.h"

bool GetClipListPath(char* path)
{
    path[0] = '\0';
    if (m_ExeDir[0] == '\0') return false;
    // m_ExeDir holds a path of fewer than MAX_PATH units; the name is
    // ASCII, so the whole fits kPathBytes or is refused when used.
    CopyText(path, kPathBytes, m_ExeDir, -1, kCodePageUtf8);
    AppendText(path, kPathBytes, "\\" kClipListFileName, -1, kCodePageUtf8);
    return true;
}

// --- Bytes kept beside an item -----------------------------------------------

struct KeptBytes {
    int length;
    char bytes[1];  // length bytes follow
};

static UINT DataMessage(ClipListKind kind, bool set)
{
    if (kind == kListBox) return set ? LB_SETITEMDATA : LB_GETITEMDATA;
    return set ? CB_SETITEMDATA : CB_GETITEMDATA;
}

static const KeptBytes* KeptBytesOf(HWND control, ClipListKind kind, int index)
{
    LRESULT data = SendMessageW(control, DataMessage(kind, false), (WPARAM)index, 0);
    if (data == 0 || data == LB_ERR) return nullptr;  // CB_ERR is the same value
    return reinterpret_cast<const KeptBytes*>(data);
}

static void KeepBytes(HWND control, ClipListKind kind, int index, const char* bytes, int length)
{
    KeptBytes* kept = static_cast<KeptBytes*>(
        HeapAlloc(GetProcessHeap(), 0, sizeof(KeptBytes) + (SIZE_T)length));
    // Without memory the item stands for its shown text, as a typed one
    // does: the closest the program can still do.
    if (!kept) return;
    kept->length = length;
    memcpy(kept->bytes, bytes, (size_t)length);
    if (SendMessageW(control, DataMessage(kind, true), (WPARAM)index, (LPARAM)kept) == LB_ERR) {
        HeapFree(GetProcessHeap(), 0, kept);
    }
}

void ForgetItemBytes(const DELETEITEMSTRUCT* item)
{
    if (item->itemData != 0) HeapFree(GetProcessHeap(), 0, (void*)item->itemData);
}

void MoveItemBytes(HWND control, ClipListKind kind, int from, int to)
{
    LRESULT data = SendMessageW(control, DataMessage(kind, false), (WPARAM)from, 0);
    if (data == LB_ERR) return;
    SendMessageW(control, DataMessage(kind, true), (WPARAM)to, data);
    SendMessageW(control, DataMessage(kind, true), (WPARAM)from, 0);
}

// --- Loading -------------------------------------------------------------------

struct ListTarget {
    HWND control;
    ClipListKind kind;
    int codePage;
};

// True when every byte is below 0x80: ASCII, the same in both code pages
// and in UTF-16, so its shown text gives its bytes back by itself.
static bool IsAscii(const char* line, int length)
{
    for (int i = 0; i < length; ++i) {
        if ((unsigned char)line[i] >= 0x80) return false;
    }
    return true;
}

static void AddLine(const char* line, void* context)
{
    const ListTarget* target = static_cast<const ListTarget*>(context);
    // A line has at most 1023 bytes, so at most 1023 UTF-16 units.
    WCHAR shown[1024];
    int length = (int)strlen(line);
    const bool ascii = IsAscii(line, length);
    int units = length;
    if (ascii) {
        for (int i = 0; i <= length; ++i) shown[i] = (WCHAR)(unsigned char)line[i];
    } else {
        units = DecodeText(line, length, target->codePage, shown, 1024);
        if (units < 0) units = 0;
    }
    // A control that runs out of memory refuses the item; the load goes on
    // with the next line, as after any other item the control cannot take.
    LRESULT index = SendMessageW(target->control,
                                 target->kind == kListBox ? LB_ADDSTRING : CB_ADDSTRING, 0,
                                 (LPARAM)shown);
    if (index < 0) return;
    if (!ascii && !RoundTripsExactly(line, length, target->codePage, shown, units)) {
        KeepBytes(target->control, target->kind, (int)index, line, length);
    }
}

// The file's encoding: its byte-order mark, else valid UTF-8 holding a
// multi-byte character, else code page 932. Reads the whole file once,
// through the same fixed page as the load; leaves the file position after
// the mark.
static TextFileEncoding ReadEncoding(HANDLE file, char* page, DWORD pageSize)
{
    DWORD got = 0;
    if (!ReadFile(file, page, pageSize, &got, nullptr)) got = 0;
    TextFileEncoding encoding = EncodingByMark(page, (int)got);
    if (encoding == kEncoding932) {
        Utf8Check check;
        StartUtf8Check(&check);
        while (got > 0 && check.valid) {
            FeedUtf8Check(&check, page, (int)got);
            if (!ReadFile(file, page, pageSize, &got, nullptr)) got = 0;
        }
        if (IsUtf8Text(&check)) encoding = kEncodingUtf8;
    }
    SetFilePointer(file, MarkLength(encoding), nullptr, FILE_BEGIN);
    return encoding;
}

ClipListLoadResult LoadClipList(HWND control, const char* path, ClipListKind kind,
                                TextFileEncoding* encoding)
{
    WCHAR widePath[MAX_PATH];
    if (!PathToWide(path, widePath)) return kLoadNotOpened;
    // No sharing: a file that another program is writing is not read half.
    HANDLE file = CreateFileW(widePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kLoadNotOpened;

    // A fixed chunk and a fixed window, whatever the size of the file or of
    // a line; over-long lines are cut as clip_lines.h describes. The file is
    // read 32 chunks at a time and handed on chunk by chunk: the same lines
    // as reading 127 bytes at a time, for a thirty-second of the system
    // calls, which otherwise cost more than filling the control.
    char page[kClipChunkSize * 32];
    TextFileEncoding found = ReadEncoding(file, page, sizeof page);
    if (encoding) *encoding = found;
    if (found == kEncodingUtf16Bom) {
        CloseHandle(file);
        return kLoadUnsupported;
    }

    // Emptying a combo box empties its edit field too.
    SendMessageW(control, kind == kListBox ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    ListTarget target = {control, kind, CodePageOf(found)};
    ClipLineSplitter splitter;
    StartClipLines(&splitter, target.codePage);
    DWORD got = 0;
    // A read error ends the load like the end of the file: the lines read
    // so far stay in the control.
    while (ReadFile(file, page, sizeof page, &got, nullptr) && got > 0) {
        for (DWORD at = 0; at < got; at += kClipChunkSize) {
            DWORD chunk = got - at < (DWORD)kClipChunkSize ? got - at : (DWORD)kClipChunkSize;
            FeedClipLines(&splitter, page + at, (int)chunk, AddLine, &target);
        }
    }
    CloseHandle(file);
    return kLoadDone;
}

// --- Reading items ---------------------------------------------------------------

// The item is read as UTF-16, the form the control keeps it in: with the
// common controls 6 the list is a Unicode window, and Wine carries the ANSI
// LB_GETTEXT to it through a fixed 512-character stack buffer, which a
// longer item overruns.
bool ReadItemWide(HWND control, ClipListKind kind, int index, HeapText* text, int* units)
{
    const bool list = kind == kListBox;
    LRESULT length = SendMessageW(control, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0);
    if (length == LB_ERR) return false;
    if (!text->Allocate(((DWORD)length + 1) * sizeof(WCHAR))) return false;
    LRESULT got = SendMessageW(control, list ? LB_GETTEXT : CB_GETLBTEXT, index,
                               (LPARAM)text->Wide());
    if (got == LB_ERR) return false;
    *units = (int)got;
    return true;
}

bool ReadItemText(HWND control, ClipListKind kind, int index, int listCodePage, ItemText* item)
{
    HeapText shown;
    int units = 0;
    if (!ReadItemWide(control, kind, index, &shown, &units)) return false;

    const KeptBytes* kept = KeptBytesOf(control, kind, index);
    if (kept) {
        if (!item->memory.Allocate((DWORD)kept->length + 1)) return false;
        memcpy(item->memory.Bytes(), kept->bytes, (size_t)kept->length);
        item->length = kept->length;
        item->codePage = listCodePage;
        return true;
    }
    // A text the user gave: in the list's code page when it holds it, else
    // in UTF-8, which holds every character.
    item->codePage = listCodePage;
    if (EncodeToBlock(shown.Wide(), units, listCodePage, &item->memory, &item->length)) {
        return true;
    }
    item->codePage = kCodePageUtf8;
    return EncodeToBlock(shown.Wide(), units, kCodePageUtf8, &item->memory, &item->length);
}

// --- Saving ------------------------------------------------------------------------

// The item's bytes in the code page the file is written in. False when it
// cannot be had; *storable false when the item holds a character that code
// page lacks.
static bool ItemBytesFor(HWND listBox, int index, int listCodePage, int fileCodePage,
                         ItemText* item, bool* storable)
{
    *storable = true;
    if (!ReadItemText(listBox, kListBox, index, listCodePage, item)) return false;
    if (item->codePage == fileCodePage) return true;
    if (fileCodePage != kCodePageUtf8) {
        *storable = false;
        return false;
    }
    // Into UTF-8: the same text, whatever code page it came in.
    HeapText wide;
    int units = 0;
    if (!DecodeToBlock(item->Bytes(), item->length, item->codePage, &wide, &units)) return false;
    item->codePage = kCodePageUtf8;
    return EncodeToBlock(wide.Wide(), units, kCodePageUtf8, &item->memory, &item->length);
}

static bool WriteAll(HANDLE file, const void* bytes, DWORD size)
{
    DWORD done = 0;
    return WriteFile(file, bytes, size, &done, nullptr) && done == size;
}

// Writes the mark and every non-empty item with its CR LF, each item read
// whole, so an item of any length is written whole. Any failure stops the
// write: the caller then keeps the old file.
static ClipListSaveResult WriteItems(HANDLE file, HWND listBox, int count, int listCodePage,
                                     TextFileEncoding encoding)
{
    if (encoding == kEncodingUtf8Bom && !WriteAll(file, "\xEF\xBB\xBF", 3)) return kSaveFailed;
    const int fileCodePage = CodePageOf(encoding);
    for (int i = 0; i < count; ++i) {
        ItemText item;
        bool storable = true;
        if (!ItemBytesFor(listBox, i, listCodePage, fileCodePage, &item, &storable)) {
            return storable ? kSaveFailed : kSaveNotStorable;
        }
        if (item.length == 0) continue;
        if (!WriteAll(file, item.Bytes(), (DWORD)item.length) || !WriteAll(file, "\r\n", 2)) {
            return kSaveFailed;
        }
    }
    return kSaveWritten;
}

// The file to replace: where the clip list is a link, the file it points
// to, so that the link stays and its target gets the list. A file that
// does not exist yet is made under the list's own name.
static bool ResolveListFile(const WCHAR* path, WCHAR* target, DWORD size)
{
    HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        lstrcpynW(target, path, (int)size);
        return error == ERROR_FILE_NOT_FOUND;
    }
    DWORD length = GetFinalPathNameByHandleW(file, target, size,
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(file);  // opened for attributes only
    if (length == 0 || length >= size) return false;
    // "\\?\C:\..." back to "C:\...": the temporary file's name is made in
    // its folder, and that call takes only short plain paths.
    if (wcsncmp(target, L"\\\\?\\", 4) == 0 && target[5] == L':') {
        memmove(target, target + 4, (wcslen(target + 4) + 1) * sizeof(WCHAR));
    }
    return true;
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

// Puts the written temporary file in the list's place in one step, keeping
// the replaced file's attributes.
static bool PutInPlace(const WCHAR* temporary, const WCHAR* target, DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExW(temporary, target, MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!ReplaceFileW(target, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr)) {
        return false;
    }
    // Some systems give the new file the temporary file's attributes; the
    // user's (hidden, say) are put back. Failing that, the list is still
    // saved whole.
    if (GetFileAttributesW(target) != attributes) SetFileAttributesW(target, attributes);
    return true;
}

// Writes the list to a new file beside the clip list and puts it in the
// clip list's place in one step, so that a failure at any point leaves the
// old file as it was, never a half-written one.
ClipListSaveResult SaveClipList(HWND listBox, const char* path, int listCodePage,
                                TextFileEncoding encoding)
{
    int count = (int)SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) return kSaveFailed;
    if (count == 0) return kSaveNothing;
    if (encoding == kEncodingUtf16Bom) return kSaveFailed;  // never written: not read either

    WCHAR widePath[MAX_PATH];
    WCHAR target[MAX_PATH];
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!PathToWide(path, widePath) || !ResolveListFile(widePath, target, MAX_PATH) ||
        !MayReplace(target, &attributes)) {
        return kSaveFailed;
    }
    WCHAR folder[MAX_PATH];
    lstrcpynW(folder, target, MAX_PATH);
    WCHAR* slash = wcsrchr(folder, L'\\');
    if (!slash) return kSaveFailed;
    slash[1] = L'\0';  // a file in a drive's root keeps "C:\"
    WCHAR temporary[MAX_PATH];
    // The name is unique in the folder and the file exists from here on.
    if (GetTempFileNameW(folder, L"clp", 0, temporary) == 0) return kSaveFailed;

    HANDLE file = CreateFileW(temporary, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ClipListSaveResult result = kSaveFailed;
    if (file != INVALID_HANDLE_VALUE) {
        MarkForDeletion(file, TRUE);
        result = WriteItems(file, listBox, count, listCodePage, encoding);
        if (result == kSaveWritten && !FlushFileBuffers(file)) result = kSaveFailed;
        if (result == kSaveWritten) MarkForDeletion(file, FALSE);
        CloseHandle(file);
    }
    // Asked again just before the swap: the file may have been made
    // read-only while the list was written.
    DWORD now = INVALID_FILE_ATTRIBUTES;
    if (result == kSaveWritten &&
        !(MayReplace(target, &now) && PutInPlace(temporary, target, now))) {
        result = kSaveFailed;
    }
    if (result != kSaveWritten) DeleteFileW(temporary);  // nothing more to do if even this fails
    return result;
}
