// The baseline for the one-click benchmark: the least a program can do to
// put "Good morning" on the clipboard and exit.
#include <windows.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    static const char kText[] = "Good morning";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof kText);
    if (!block) return 1;
    memcpy(GlobalLock(block), kText, sizeof kText);
    GlobalUnlock(block);
    if (!OpenClipboard(NULL)) return 1;
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);  // the clipboard owns the block now
    CloseClipboard();
    return 0;
}
