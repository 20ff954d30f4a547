// Copies a message through the copy command, for xclip_copy_test.sh to read
// back on the X side: a Japanese one, or with "unicode" one that code page
// 932 cannot hold. Exit code 0 when the Windows clipboard holds the message
// afterwards (CF_TEXT for the first, CF_UNICODETEXT for the second).
//
// With --read-back, the counterpart on Windows, where there is no xclip: it
// runs itself to copy and, once that process has ended, reads the text as
// UTF-16, the form in which a Unicode program on Windows takes it.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "app_state.h"
#include "copy_command.h"
#include "test_support.h"

static int ReadBackAfterTheCopierEnded()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(NULL, self, sizeof self);
    ProgramRun run = {};
    if (!StartProcess(&run, self, "", "")) return 1;
    int code = WaitForExit(&run, 30000);
    FinishProgram(&run);
    if (code != 0) {
        printf("the copying process failed (exit code %d)\n", code);
        return 1;
    }
    bool opened = false;
    for (int i = 0; i < 50 && !(opened = OpenClipboard(NULL) != 0); ++i) Sleep(20);
    if (!opened) {
        printf("the clipboard could not be opened\n");
        return 1;
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const WCHAR* text = data ? static_cast<const WCHAR*>(GlobalLock(data)) : nullptr;
    bool same = text && wcscmp(text, L"こんにちは、世界 表ソ") == 0;
    if (!same) {
        // As UTF-16 units: readable whatever the console's code page.
        printf("read back as UTF-16:");
        for (const WCHAR* unit = text ? text : L""; *unit; ++unit) printf(" %04X", *unit);
        printf("%s\n", text ? "" : " (no text on the clipboard)");
    }
    if (text) GlobalUnlock(data);
    CloseClipboard();
    return same ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "--read-back") == 0) return ReadBackAfterTheCopierEnded();
    const bool unicode = argc > 1 && strcmp(argv[1], "unicode") == 0;
    static const char kMessage[] = "こんにちは、世界 表ソ";
    static const wchar_t kUnicodeMessage[] = L"𠮷 é © 😀";
    HWND window = CreateWindowExA(0, "STATIC", "xclip copy", WS_OVERLAPPEDWINDOW,
                                  0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                 0, 0, 280, 100, window, (HMENU)1000, nullptr, nullptr);
    SetWindowTextW(combo, unicode ? L"Uni/=\"𠮷 é © 😀\"" : L"挨拶/=\"こんにちは、世界 表ソ\"");
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
