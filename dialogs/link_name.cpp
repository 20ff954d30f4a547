#include "link_name.h"

#include <string.h>

// Names the system takes as devices whatever folder they are in, so that
// "NUL.lnk" writes nothing and reports success.
static bool IsDeviceName(const WCHAR* name)
{
    // The part before the first dot, without the blanks the system drops.
    int length = 0;
    while (name[length] != L'\0' && name[length] != L'.') ++length;
    while (length > 0 && name[length - 1] == L' ') --length;
    WCHAR base[5] = L"";
    if (length < 3 || length > 4) return false;
    for (int i = 0; i < length; ++i) {
        base[i] = (name[i] >= L'a' && name[i] <= L'z') ? (WCHAR)(name[i] - 32) : name[i];
    }
    base[length] = L'\0';
    static const WCHAR* const three[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    if (length == 3) {
        for (const WCHAR* device : three) {
            if (wcscmp(base, device) == 0) return true;
        }
        return false;
    }
    return (wcsncmp(base, L"COM", 3) == 0 || wcsncmp(base, L"LPT", 3) == 0) &&
           base[3] >= L'1' && base[3] <= L'9';
}

bool IsPlainFileName(const WCHAR* name)
{
    int length = (int)wcslen(name);
    int blanks = 0;
    while (blanks < length && name[blanks] == L' ') ++blanks;
    if (blanks == length) return false;  // nothing but blanks
    for (int i = 0; i < length; ++i) {
        // A separator or a colon would put the file elsewhere, or into an
        // alternate stream of a file named by the part before it.
        if (name[i] < 0x20 || wcschr(L"\\/:*?\"<>|", name[i])) return false;
    }
    if (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0) return false;
    // The system drops a final dot or blank: the file would not be the
    // name shown.
    if (name[length - 1] == L'.' || name[length - 1] == L' ') return false;
    return !IsDeviceName(name);
}
