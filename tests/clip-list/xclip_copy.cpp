// Copies a Japanese message through the copy command, for xclip_copy_test.sh
// to read back on the X side. Exit code 0 when the Windows clipboard holds
// the message afterwards.
#include <windows.h>

#include <string.h>

#include "app_state.h"
#include "copy_command.h"

int main()
{
    static const char kMessage[] = "こんにちは、世界 表ソ";
    HWND window = CreateWindowExA(0, "STATIC", "xclip copy", WS_OVERLAPPEDWINDOW,
                                  0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                 0, 0, 280, 100, window, (HMENU)1000, nullptr, nullptr);
    SetWindowTextA(combo, "挨拶/=\"こんにちは、世界 表ソ\"");
    m_ListLoaded = 1;
    CopyClipText(window);

    int same = 0;
    if (OpenClipboard(window)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
        same = text && strcmp(text, kMessage) == 0;
        if (text) GlobalUnlock(data);
        CloseClipboard();
    }
    DestroyWindow(window);
    return same ? 0 : 1;
}
