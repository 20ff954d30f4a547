// Module identity, the library's own version, a beep and window geometry.
#include "Morvask.h"

static const int kVersionNumbers[4] = {1, 1, 0, 1012};
enum { kModuleNameSize = 12 };  // "Morvask.dll" and its terminator

int WINAPI MRVK0_GetModuleName(char* out)
{
    // m_ModuleName is writable exported data: lstrcpynA stops at 12 bytes and
    // terminates even if a caller has overwritten its terminator.
    lstrcpynA(out, m_ModuleName, kModuleNameSize);
    return 0;
}

int WINAPI MRVK0_GetVersionNum(int index)
{
    if (index < 0 || index > 3) return -1;
    return kVersionNumbers[index];
}

int WINAPI MRVK0_GetVersionString(char* out)
{
    // At most 11 name bytes and the fixed numbers: 26 bytes and the
    // terminator, well inside the 32-byte work buffer.
    char name[kModuleNameSize];
    lstrcpynA(name, m_ModuleName, (int)sizeof name);
    char work[32];
    wsprintfA(work, "%s : %d.%02d.%d  %d", name, kVersionNumbers[0], kVersionNumbers[1],
              kVersionNumbers[2], kVersionNumbers[3]);
    lstrcpyA(out, work);
    return 0;
}

void WINAPI MRVK0_Beep(WORD count)
{
    for (WORD i = 0; i < count; ++i) {
        MessageBeep(MB_ICONASTERISK);  // a machine without sound still waits
        Sleep(1000);
    }
}

WindowPands WINAPI MRVK0_GetWindowPands(HWND window)
{
    WindowPands pands = {0, 0, 0, 0};
    RECT rect;
    if (GetWindowRect(window, &rect)) {
        pands.x = rect.left;
        pands.y = rect.top;
        pands.width = rect.right - rect.left;
        pands.height = rect.bottom - rect.top;
    }
    return pands;
}
