#include "clip_copy.h"

#include <string.h>

#include "../resources/resource.h"
#include "Morvask.h"
#include "app_state.h"
#include "clip_entry.h"
#include "clip_list_file.h"
#include "messages.h"

// Other programs hold the clipboard for a moment while they read or write
// it: try this often, this far apart (about half a second in all).
enum { kOpenTries = 10, kOpenPauseMs = 50 };

static void ShowCopyMessage(const char* text, const char* title)
{
    // No owner: the message also shows when the main dialog is hidden or
    // about to close. Only OK can be pressed.
    MessageBoxA(nullptr, text, title, MB_OK | MB_ICONQUESTION);
}

// Takes the edit field's entry and keeps its text or path in m_ClipText.
// Returns the file flag. An entry whose text is longer than 1023 bytes is
// cut to fit m_ClipText, on a character boundary: a message is copied
// shortened, a cut path names another file, which then is not found.
static int TakeEntryText(HWND combo)
{
    m_ClipText[0] = '\0';
    int length = (int)SendMessageA(combo, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return 0;

    HGLOBAL block = nullptr;
    void* pointer = nullptr;
    int isFile = 0;
    if (MRVK0_GetGlobalMemory(&block, &pointer, (DWORD)length + 1) == 0) {
        SendMessageA(combo, WM_GETTEXT, (WPARAM)length + 1, (LPARAM)pointer);
        isFile = ExtractClipText(static_cast<const char*>(pointer), m_ClipText, kTextSize);
    } else {
        // Without room for the entry there is nothing to copy.
        ShowCopyMessage(kMemoryFailed, kTitleConfirm);
    }
    MRVK0_GetGlobalMemory(&block, &pointer, 0);
    return isFile;
}

// The whole file named by m_ClipText and 10 zero bytes, in a new block. The
// clipboard text thus ends at the file's end or at its first zero byte.
static void ReadFilePayload(HGLOBAL* block, void** pointer)
{
    long long size = MRVK0_GetFileSize(m_ClipText);
    if (size == 0) {
        // Missing, empty, a folder, or not to be opened: all look alike.
        ShowCopyMessage(kFileNotFound, kTitleConfirm);
        return;
    }
    // A file too large for a 32-bit block and the reader's signed
    // capacity is refused as memory that cannot be had.
    if (size > 0x7FFFFFFF - 10 ||
        MRVK0_GetGlobalMemory(block, pointer, (DWORD)size + 10) != 0) {
        MRVK0_GetGlobalMemory(block, pointer, 0);
        ShowCopyMessage(kMemoryFailed, kTitleConfirm);
        return;
    }
    // The file may have grown or been locked since its size was taken:
    // then nothing is copied, without a message.
    if (MRVK0_ReadTextToBuffer(m_ClipText, static_cast<char*>(*pointer), (int)size) == 0) {
        MRVK0_GetGlobalMemory(block, pointer, 0);
    }
}

// m_ClipText and its terminator in a new block.
static void MakeTextPayload(HGLOBAL* block, void** pointer)
{
    int length = (int)strlen(m_ClipText);
    if (MRVK0_GetGlobalMemory(block, pointer, (DWORD)length + 1) != 0) {
        MRVK0_GetGlobalMemory(block, pointer, 0);
        ShowCopyMessage(kMemoryFailed, kTitleConfirm);
        return;
    }
    memcpy(*pointer, m_ClipText, (size_t)length + 1);
}

// Hands the unlocked block to the clipboard. Returns 1 when the clipboard
// took it (it owns the block from then on), 0 when not.
static int PutOnClipboard(HWND owner, HGLOBAL block)
{
    int opened = 0;
    for (int i = 0; i < kOpenTries && !opened; ++i) {
        if (i > 0) Sleep(kOpenPauseMs);
        opened = OpenClipboard(owner) != FALSE;
    }
    if (!opened) return 0;
    // Whether emptying worked shows in SetClipboardData: it takes the block
    // only from the clipboard's owner.
    EmptyClipboard();
    int taken = SetClipboardData(CF_TEXT, block) != nullptr;
    // The data is in place either way; a failed close leaves nothing to do.
    CloseClipboard();
    return taken;
}

void CopyClipText(HWND mainDialog)
{
    HWND combo = GetDlgItem(mainDialog, IDC_CLIP_COMBO);
    int isFile = TakeEntryText(combo);

    HGLOBAL block = nullptr;
    void* pointer = nullptr;
    if (m_ClipText[0] != '\0') {
        if (isFile) {
            ReadFilePayload(&block, &pointer);
        } else {
            MakeTextPayload(&block, &pointer);
        }
    }

    if (block && pointer) {
        // The clipboard wants the block unlocked; the pointer is void now.
        GlobalUnlock(block);
        pointer = nullptr;
        if (PutOnClipboard(mainDialog, block)) {
            MessageBeep(MB_ICONASTERISK);
            if (m_AutoExit == 1) PostMessageA(mainDialog, WM_CLOSE, 0, 0);
            return;
        }
        // Still ours: free it, and say that nothing was copied, so that
        // neither the success beep nor the automatic exit deceives the user.
        MRVK0_GetGlobalMemory(&block, &pointer, 0);
        ShowCopyMessage(kClipboardFailed, kTitleFailure);
    }

    // Nothing was copied. A start that skipped the list must still leave a
    // usable window: load it now (this also empties the edit field).
    if (m_ListLoaded == 0) {
        char path[kTextSize];
        GetClipListPath(path);
        LoadClipList(combo, path, kComboBox);
        m_ListLoaded = 1;
    }
}
