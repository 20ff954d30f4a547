// The clipboard as the tests see it.
#include "test_support.h"

#include <string.h>

std::string ClipboardText()
{
    // Another program (or the one under test) may hold it for a moment.
    bool opened = false;
    for (int i = 0; i < 50 && !(opened = OpenClipboard(NULL) != 0); ++i) Sleep(20);
    if (!opened) return "(the clipboard could not be opened)";
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = data ? (const char*)GlobalLock(data) : NULL;
    std::string text = locked ? locked : "(no text on the clipboard)";
    if (locked) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

static bool PutOnClipboardOnce(const char* text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    if (!block) return false;
    memcpy(GlobalLock(block), text, strlen(text) + 1);
    GlobalUnlock(block);
    bool opened = false;
    for (int i = 0; i < 50 && !(opened = OpenClipboard(NULL) != 0); ++i) Sleep(20);
    if (!opened) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool taken = SetClipboardData(CF_TEXT, block) != NULL;
    CloseClipboard();
    // The clipboard owns the block only once it took it.
    if (!taken) GlobalFree(block);
    return taken;
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
        if (ClipboardText() != text) continue;
        Sleep(30);
        if (ClipboardText() == text) return true;
    }
    return false;
}
