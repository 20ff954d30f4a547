// The clipboard as the tests see it.
#include "test_support.h"

#include <string.h>
#include <wchar.h>

static bool OpenClipboardPatiently()
{
    // Another program (or the one under test) may hold it for a moment.
    for (int i = 0; i < 50; ++i) {
        if (OpenClipboard(NULL)) return true;
        Sleep(20);
    }
    return false;
}

std::string ClipboardText()
{
    if (!OpenClipboardPatiently()) return "(the clipboard could not be opened)";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* locked = data ? (const wchar_t*)GlobalLock(data) : NULL;
    // Up to the first zero, never past the block.
    std::string text = locked ? Narrow(std::wstring(locked, wcsnlen(locked, GlobalSize(data) / 2)))
                              : "(no text on the clipboard)";
    if (locked) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

std::string ClipboardAnsiText()
{
    if (!OpenClipboardPatiently()) return "(the clipboard could not be opened)";
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = data ? (const char*)GlobalLock(data) : NULL;
    std::string text = locked ? std::string(locked, strnlen(locked, GlobalSize(data)))
                              : "(no text on the clipboard)";
    if (locked) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

static HGLOBAL BlockOf(const void* bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block) {
        memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

static bool PutOnClipboardOnce(const char* text)
{
    // Both forms given, none made by Windows from the other: the bytes stay
    // exactly as the test wrote them, and the text is right whatever the
    // system code page.
    std::wstring wide = Wide(text);
    HGLOBAL ansi = BlockOf(text, strlen(text) + 1);
    HGLOBAL unicode = BlockOf(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    bool opened = ansi && unicode && OpenClipboardPatiently();
    bool ansiTaken = false, unicodeTaken = false;
    if (opened) {
        EmptyClipboard();
        ansiTaken = SetClipboardData(CF_TEXT, ansi) != NULL;
        unicodeTaken = SetClipboardData(CF_UNICODETEXT, unicode) != NULL;
        CloseClipboard();
    }
    // The clipboard owns a block only once it took it.
    if (ansi && !ansiTaken) GlobalFree(ansi);
    if (unicode && !unicodeTaken) GlobalFree(unicode);
    return ansiTaken && unicodeTaken;
}

bool PutOnClipboard(const char* text)
{
    // Under Wine the X11 side of the clipboard may still be settling an
    // earlier owner's change and can replace what was just put there (seen
    // as a clipboard without text a moment later). Put it again until it
    // reads back twice in a row, so a test starts from the state it names.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (!PutOnClipboardOnce(text)) return false;
        Sleep(30);
        if (ClipboardText() != text || ClipboardAnsiText() != text) continue;
        Sleep(30);
        if (ClipboardText() == text && ClipboardAnsiText() == text) return true;
    }
    return false;
}

bool WaitForClipboardChange(DWORD before, HWND owner, int ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        // A program that copies and then ends leaves no owner behind.
        if (GetClipboardSequenceNumber() != before &&
            (!owner || GetClipboardOwner() == owner || !IsWindow(owner))) {
            return true;
        }
        if ((int)(GetTickCount() - start) >= ms) return false;
        Sleep(10);
    }
}
