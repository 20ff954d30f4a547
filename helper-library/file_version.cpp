// The label "name : a.bb.c  d" from a file's FileVersion text.
#include "Morvask.h"
#include "path_split_core.h"

#include <winver.h>

enum {
    kVersionDataSize = 2048,  // a larger version resource is cut to this
    kLangCodePageMax = 99,    // longer texts would not fit the query buffer
    kLabelMax = 127,
    // The version reader treats the fetched data as a tree whose nodes state
    // their own lengths (up to 64 KiB), and the ANSI query writes its
    // converted text after the data's stated end. The work area is large
    // enough, and zero beyond the fetched bytes, so that neither reaches
    // outside it for any resource cut at 2048 bytes.
    kWorkAreaSize = 0x10000 + 16,
};

// The standard decimal conversion (leading white space, optional sign,
// digits up to the first non-digit; none give 0), reading no further than
// end. A number beyond the int range is held at its limit.
static int ParseDecimal(const char* text, const char* end)
{
    while (text < end && (*text == ' ' || (*text >= '\t' && *text <= '\r'))) ++text;
    bool negative = false;
    if (text < end && (*text == '+' || *text == '-')) negative = (*text++ == '-');
    long long value = 0;
    while (text < end && *text >= '0' && *text <= '9') {
        if (value <= 2147483648LL) value = value * 10 + (*text - '0');
        ++text;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) value = 2147483647LL;
    if (value < -2147483648LL) value = -2147483648LL;
    return (int)value;
}

static bool IsLeadByteOfActiveCodePage(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

// Reads the four numbers of the FileVersion value; false when the file has
// no such value in that language and code page.
static bool ReadVersionNumbers(const char* path, const char* query, int numbers[4])
{
    char* area = (char*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kWorkAreaSize);
    if (area == NULL) return false;

    bool found = false;
    if (GetFileVersionInfoA(path, 0, kVersionDataSize, area) == TRUE) {
        // The root node still states the uncut length; make it match the
        // data that is really here, so that the reader stays within it.
        WORD* rootLength = (WORD*)area;
        if (*rootLength > kVersionDataSize) *rootLength = kVersionDataSize;

        char* value = NULL;
        UINT valueLength = 0;  // not used: the value is read up to its terminator
        if (VerQueryValueA(area, query, (void**)&value, &valueLength) == TRUE && value != NULL
            && value >= area && value < area + kWorkAreaSize) {
            const char* end = area + kWorkAreaSize;
            const char* position = value;
            for (int i = 0; i < 4; ++i) {
                numbers[i] = ParseDecimal(position, end);
                while (position < end && *position != '\0' && *position != ',' && *position != '.')
                    ++position;
                if (position < end && *position != '\0') ++position;
            }
            found = true;
        }
    }
    HeapFree(GetProcessHeap(), 0, area);  // nothing to do should it fail
    return found;
}

int WINAPI MRVK0_GetFileVersionString(const char* path, const char* langCodePage, char* out)
{
    // Refused, not cut: a longer text names no string table, and a cut one
    // could name a different table.
    int langLength = 0;
    while (langLength <= kLangCodePageMax && langCodePage[langLength] != '\0') ++langLength;
    if (langLength > kLangCodePageMax) return -1;

    char query[128];
    wsprintfA(query, "\\StringFileInfo\\%s\\FileVersion", langCodePage);

    int numbers[4] = {0, 0, 0, 0};
    if (!ReadVersionNumbers(path, query, numbers)) return -1;

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
