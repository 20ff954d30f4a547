// The baseline for the one-click benchmark: the least a program can do to
// put "Good morning" on the clipboard in the three formats the one-click
// copy writes (the text as UTF-16, as code page 932 bytes, and the Japanese
// locale that says how to read those bytes) and exit. The clipboard is
// opened with a message-only window as owner, as a program that owns its
// data must; a NULL owner would let another opener in while it writes.
#include <windows.h>
#include <string.h>

static const wchar_t kWide[] = L"Good morning";
static const char kAnsi[] = "Good morning";
static const LCID kJapanese = 0x0411;

// A movable block holding `bytes`; NULL when memory ran out.
static HGLOBAL Block(const void* bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* target = block ? GlobalLock(block) : NULL;
    if (!target) {
        if (block) GlobalFree(block);
        return NULL;
    }
    memcpy(target, bytes, size);
    GlobalUnlock(block);
    return block;
}

// The clipboard owns the block once it took it; until then it is ours.
static bool Put(UINT format, HGLOBAL block)
{
    if (!block) return false;
    if (SetClipboardData(format, block)) return true;
    GlobalFree(block);
    return false;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, instance,
                                 NULL);
    if (!owner || !OpenClipboard(owner)) return 1;
    bool put = EmptyClipboard() && Put(CF_UNICODETEXT, Block(kWide, sizeof kWide)) &&
               Put(CF_TEXT, Block(kAnsi, sizeof kAnsi)) &&
               Put(CF_LOCALE, Block(&kJapanese, sizeof kJapanese));
    // Closing hands the data to other programs; a failed close loses it.
    bool closed = CloseClipboard() != FALSE;
    DestroyWindow(owner);
    return put && closed ? 0 : 1;
}
