// The label "name : a.bb.c  d" from a file's FileVersion text. The version
// record is read once, through the UTF-16 functions of version.dll; the
// ANSI and the wide label differ only in how the name is taken and cut.
#include "Morvask.h"
#include "code_page.h"
#include "path_split_core.h"
#include "system_library.h"

enum {
    kVersionDataSize = 2048,  // a larger version resource is cut to this
    kLangCodePageMax = 99,    // longer texts would not fit the query buffer
    kLabelMax = 127,
    // The version reader treats the fetched data as a tree whose nodes state
    // their own lengths (up to 64 KiB), and for a record stored in an 8-bit
    // code page the query writes its converted text after the data's
    // stated end. The work area is large enough, and zero beyond the
    // fetched bytes, so that neither reaches outside it for any resource cut
    // at 2048 bytes.
    kWorkAreaSize = 0x10000 + 16,
};

// The standard decimal conversion (leading white space, optional sign,
// digits up to the first non-digit; none give 0), reading no further than
// end. A number beyond the int range is held at its limit.
static int ParseDecimal(const WCHAR* text, const WCHAR* end)
{
    while (text < end && (*text == L' ' || (*text >= L'\t' && *text <= L'\r'))) ++text;
    bool negative = false;
    if (text < end && (*text == L'+' || *text == L'-')) negative = (*text++ == L'-');
    long long value = 0;
    while (text < end && *text >= L'0' && *text <= L'9') {
        if (value <= 2147483648LL) value = value * 10 + (*text - L'0');
        ++text;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) value = 2147483647LL;
    if (value < -2147483648LL) value = -2147483648LL;
    return (int)value;
}

// Reads the four numbers of the FileVersion value in the string table
// langCodePage; false when the file has no such value.
static bool ReadVersionNumbers(const WCHAR* path, const char* langCodePage, int numbers[4])
{
    // Refused, not cut: a longer text names no string table, and a cut one
    // could name a different table.
    int langLength = 0;
    while (langLength <= kLangCodePageMax && langCodePage[langLength] != '\0') ++langLength;
    if (langLength > kLangCodePageMax) return false;

    WCHAR query[128] = L"\\StringFileInfo\\";
    int used = lstrlenW(query);
    int converted = MultiByteToWideChar(CP_ACP, 0, langCodePage, langLength, query + used,
                                        kLangCodePageMax);
    if (langLength > 0 && converted == 0) return false;
    lstrcpyW(query + used + converted, L"\\FileVersion");

    VersionFunctions version;
    if (path == NULL || !GetVersionFunctions(&version)) return false;
    char* area = (char*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kWorkAreaSize);
    if (area == NULL) return false;

    bool found = false;
    if (version.getFileVersionInfo(path, 0, kVersionDataSize, area) == TRUE) {
        // The root node still states the uncut length; make it match the
        // data that is really here, so that the reader stays within it.
        WORD* rootLength = (WORD*)area;
        if (*rootLength > kVersionDataSize) *rootLength = kVersionDataSize;

        const WCHAR* value = NULL;
        UINT valueLength = 0;  // not used: the value is read up to its terminator
        const WCHAR* end = (const WCHAR*)(area + kWorkAreaSize);
        if (version.verQueryValue(area, query, (void**)&value, &valueLength) == TRUE
            && value != NULL && value >= (const WCHAR*)area && value < end) {
            const WCHAR* position = value;
            for (int i = 0; i < 4; ++i) {
                numbers[i] = ParseDecimal(position, end);
                while (position < end && *position != L'\0' && *position != L','
                       && *position != L'.')
                    ++position;
                if (position < end && *position != L'\0') ++position;
            }
            found = true;
        }
    }
    HeapFree(GetProcessHeap(), 0, area);  // nothing to do should it fail
    return found;
}

int WINAPI MRVK0_GetFileVersionString(const char* path, const char* langCodePage, char* out)
{
    // Unbounded: the system's ANSI version functions take a path of any
    // length too.
    WideCopy widePath(path, 0);
    int numbers[4] = {0, 0, 0, 0};
    if (widePath.failed || !ReadVersionNumbers(widePath.text, langCodePage, numbers)) return -1;

    // This split replaces the caller's: a handle taken before is now stale.
    char item[kSplitItemSize];
    MRVK0_GetSplitItem(MRVK0_SplitPath(path), 6, item);  // item 6 of the latest split always succeeds

    // The numbers take at most 51 bytes; a file name too long for the
    // 127-character label is cut on a character boundary to fit.
    char numbersText[64];
    int numbersLength = wsprintfA(numbersText, " : %d.%02d.%d  %d", numbers[0], numbers[1],
                                  numbers[2], numbers[3]);
    int itemLength = lstrlenA(item);
    int nameLength = CutOnCharacter(item, itemLength, kLabelMax - numbersLength,
                                    IsLeadByteOfActiveCodePage);

    char label[kLabelMax + 1];
    CopyMemory(label, item, nameLength);
    CopyMemory(label + nameLength, numbersText, numbersLength + 1);
    lstrcpyA(out, label);
    return 0;
}

int WINAPI MRVK0_GetFileVersionStringW(const WCHAR* path, const char* langCodePage, WCHAR* out)
{
    int numbers[4] = {0, 0, 0, 0};
    if (!ReadVersionNumbers(path, langCodePage, numbers)) return -1;

    // The name is what follows the last separator (or a drive's colon),
    // taken from the path itself: the ANSI split's store and its handles
    // are left alone.
    const WCHAR* name = path;
    for (const WCHAR* at = path; *at != L'\0'; ++at) {
        if (*at == L'\\' || *at == L'/' || (*at == L':' && at == path + 1)) name = at + 1;
    }

    // The numbers take at most 51 characters; a longer name is cut so that
    // the whole label fits 127, never between the two halves of a
    // surrogate pair.
    WCHAR numbersText[64];
    int numbersLength = wsprintfW(numbersText, L" : %d.%02d.%d  %d", numbers[0], numbers[1],
                                  numbers[2], numbers[3]);
    int nameLength = lstrlenW(name);
    if (nameLength > kLabelMax - numbersLength) {
        nameLength = kLabelMax - numbersLength;
        if (IS_HIGH_SURROGATE(name[nameLength - 1])) --nameLength;
    }

    WCHAR label[kLabelMax + 1];
    CopyMemory(label, name, nameLength * sizeof(WCHAR));
    CopyMemory(label + nameLength, numbersText, (numbersLength + 1) * sizeof(WCHAR));
    lstrcpyW(out, label);
    return 0;
}
