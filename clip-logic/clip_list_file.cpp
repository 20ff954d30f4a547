#include "clip_list_file.h"

#include <string.h>

#include "Morvask.h"
#include "app_state.h"
#include "bounded_text.h"
#include "clip_lines.h"
#include "messages.h"

void GetClipListPath(char* path)
{
    // m_ExeDir holds at most 259 bytes, so the path fits 1024 bytes and
    // wsprintfA's own limit.
    wsprintfA(path, "%s\\%s", m_ExeDir, kClipListFileName);
}

struct ListTarget {
    HWND control;
    UINT addMessage;
};

static void AddLine(const char* line, void* context)
{
    const ListTarget* target = static_cast<const ListTarget*>(context);
    // A control that runs out of memory refuses the item; the load goes on
    // with the next line, as after any other item the control cannot take.
    SendMessageA(target->control, target->addMessage, 0, (LPARAM)line);
}

int LoadClipList(HWND control, const char* path, int kind)
{
    // No sharing: a file that another program is writing is not read half.
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;

    // Emptying a combo box empties its edit field too.
    SendMessageA(control, kind == kListBox ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    ListTarget target = {control, kind == kListBox ? (UINT)LB_ADDSTRING : (UINT)CB_ADDSTRING};

    // A fixed chunk and a fixed window, whatever the size of the file or of
    // a line; over-long lines are cut as clip_lines.h describes. The file is
    // read 32 chunks at a time and handed on chunk by chunk: the same lines
    // as reading 127 bytes at a time, for a thirty-second of the system
    // calls, which otherwise cost more than filling the control.
    ClipLineSplitter splitter;
    StartClipLines(&splitter);
    char page[kClipChunkSize * 32];
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
    return 1;
}

// The folder part of path, up to and including its last backslash (so that
// a file in a drive's root gives "C:\"), into folder.
static int GetFolderOf(const char* path, char* folder, int folderSize)
{
    // Character by character: the trail byte of a double-byte character
    // may be 0x5C, the backslash.
    int length = 0;
    for (int at = 0; path[at] != '\0'; ++at) {
        if (path[at] == '\\') {
            length = at + 1;
        } else if (IsLeadByte932((unsigned char)path[at]) && path[at + 1] != '\0') {
            ++at;
        }
    }
    if (length == 0) return 0;
    if (length >= folderSize) return 0;
    memcpy(folder, path, (size_t)length);
    folder[length] = '\0';
    return 1;
}

// True when the file may be replaced: it does not exist yet, or it is a
// plain file that is not read-only. Replacing by rename would pass over a
// read-only file, so that is asked here; a file held open by another
// program makes the rename itself fail.
static int MayReplace(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

ListItemText::~ListItemText()
{
    MRVK0_GetGlobalMemory(&block, &pointer, 0);
}

// The item is read as UTF-16, the form the control keeps it in, and turned
// into code page 932 here: with the common controls 6 the list is a Unicode
// window, and Wine carries the ANSI LB_GETTEXT to it through a fixed
// 512-character stack buffer, which a longer item overruns.
bool ReadListItem(HWND list, int index, ListItemText* item)
{
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return false;
    // One block, two halves: the code page 932 text (at most two bytes a
    // UTF-16 unit, and its terminator) first, the UTF-16 text after it.
    DWORD half = ((DWORD)length + 1) * 2;
    if (MRVK0_GetGlobalMemory(&item->block, &item->pointer, half * 2) != 0) return false;
    char* text = static_cast<char*>(item->pointer);
    WCHAR* wide = reinterpret_cast<WCHAR*>(text + half);
    if (SendMessageW(list, LB_GETTEXT, index, (LPARAM)wide) == LB_ERR) return false;
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, text, (int)half, nullptr, nullptr) > 0;
}

// Writes every non-empty item with its CR LF, each item read whole, so an
// item of any length is written whole. Any failure stops the write: the
// caller then keeps the old file.
static int WriteItems(HANDLE file, HWND listBox, int count)
{
    for (int i = 0; i < count; ++i) {
        ListItemText item;
        if (!ReadListItem(listBox, i, &item)) return 0;
        DWORD size = (DWORD)strlen(item.Text());
        if (size == 0) continue;
        DWORD done = 0;
        if (!WriteFile(file, item.Text(), size, &done, nullptr) || done != size) return 0;
        if (!WriteFile(file, "\r\n", 2, &done, nullptr) || done != 2) return 0;
    }
    return 1;
}

// Writes the list to a new file beside the clip list and puts it in the
// clip list's place in one step, so that a failure at any point leaves the
// old file as it was, never a half-written one.
int SaveClipList(HWND listBox, const char* path)
{
    int count = (int)SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) return kSaveFailed;
    if (count == 0) return kSaveNothing;

    char folder[MAX_PATH];
    char temporary[MAX_PATH];
    if (!GetFolderOf(path, folder, sizeof folder) || !MayReplace(path)) return kSaveFailed;
    // The name is unique in the folder and the file exists from here on.
    if (GetTempFileNameA(folder, "clp", 0, temporary) == 0) return kSaveFailed;

    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    int saved = file != INVALID_HANDLE_VALUE;
    if (saved) {
        saved = WriteItems(file, listBox, count) && FlushFileBuffers(file);
        CloseHandle(file);
    }
    // Asked again just before the swap: the file may have been made
    // read-only while the list was written.
    saved = saved && MayReplace(path) &&
            MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!saved) {
        DeleteFileA(temporary);  // nothing more to do if even this fails
        return kSaveFailed;
    }
    return kSaveWritten;
}
