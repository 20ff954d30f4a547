// Copies a message through the copy command, for xclip_copy_test.sh to read
// back on the X side: a Japanese one, or with "unicode" one that code page
// 932 cannot hold. Exit code 0 when the Windows clipboard holds the message
// afterwards (CF_TEXT for the first, CF_UNICODETEXT for the second).
#include <windows.h>

#include <string.h>

#include "app_state.h"
#include "copy_command.h"

int main(int argc, char** argv)
{
    const bool unicode = argc > 1 && strcmp(argv[1], "unicode") == 0;
    static const char kMessage[] = "こんにちは、世界 表ソ";
    static const wchar_t kUnicodeMessage[] = L"𠮷 é © 😀";
    HWND window = CreateWindowExA(0, "STATIC", "xclip copy", WS_OVERLAPPEDWINDOW,
                                  0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                 0, 0, 280, 100, window, (HMENU)1000, nullptr, nullptr);
    if (unicode) {
        SetWindowTextW(combo, L"Uni/=\"𠮷 é © 😀\"");
    } else {
        SetWindowTextA(combo, "挨拶/=\"こんにちは、世界 表ソ\"");
    }
    m_ListLoaded = 1;
    CopyClipText(window);

    int same = 0;
    if (OpenClipboard(window)) {
        HANDLE data = GetClipboardData(unicode ? CF_UNICODETEXT : CF_TEXT);
        const void* text = data ? GlobalLock(data) : nullptr;
        same = text && (unicode ? wcscmp((const wchar_t*)text, kUnicodeMessage) == 0
                                : strcmp((const char*)text, kMessage) == 0);
        if (text) GlobalUnlock(data);
        CloseClipboard();
    }
    DestroyWindow(window);
    return same ? 0 : 1;
}
