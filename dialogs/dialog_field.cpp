#include "dialog_field.h"

#include <string.h>

#include "app_state.h"
#include "bounded_text.h"
#include "heap_text.h"
#include "text_convert.h"
#include "wide_text.h"

bool ReadFieldWide(HWND dialog, int id, WCHAR* wide, int units)
{
    wide[0] = L'\0';
    // The whole text first: the control's own cut would leave the first
    // half of a pair that straddles the limit, a text no code page holds.
    HWND field = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthW(field);
    HeapText whole;
    if (length <= 0 || !whole.Allocate(((DWORD)length + 1) * sizeof(WCHAR))) return length <= 0;
    int got = GetWindowTextW(field, whole.Units(), length + 1);
    // Only what the control delivered counts, whatever else the block holds.
    if (got <= 0 || got > length) got = 0;
    return CopyWideText(wide, units, whole.Units(), got) == got;
}

// A UTF-16 text as bytes in codePage (which holds it exactly), cut to
// `size` - 1 bytes on a character boundary. False when it had to be cut.
static bool CodeText(const WCHAR* wide, int codePage, char* text, int size)
{
    // Up to 1023 units take at most three bytes each in either code page.
    char whole[4 * kFieldUnits];
    if (EncodeText(wide, -1, codePage, whole, (int)sizeof whole) < 0) whole[0] = '\0';
    const int length = lstrlenA(whole);
    return CopyText(text, size, whole, length, codePage) == length;
}

bool ReadFieldTexts(HWND dialog, const int* ids, char* const* texts, int count, int size,
                    int preferred, int* codePage)
{
    enum { kMostFields = 4 };
    WCHAR wide[kMostFields][kFieldUnits];
    const WCHAR* seen[kMostFields];
    bool whole = true;
    if (count > kMostFields) count = kMostFields;
    for (int i = 0; i < count; ++i) {
        if (!ReadFieldWide(dialog, ids[i], wide[i], kFieldUnits)) whole = false;
        seen[i] = wide[i];
    }
    *codePage = preferred == kCodePageUtf8 ? kCodePageUtf8 : ChooseCodePage(seen, count);
    for (int i = 0; i < count; ++i) {
        if (!CodeText(wide[i], *codePage, texts[i], size)) whole = false;
    }
    return whole;
}

void SetFieldText(HWND dialog, int id, const char* text, int codePage)
{
    WCHAR wide[kFieldUnits];
    if (DecodeText(text, (int)strlen(text), codePage, wide, kFieldUnits) < 0) wide[0] = L'\0';
    SetDlgItemTextW(dialog, id, wide);
}

bool ReadWindowWide(HWND window, HeapText* text, int* units)
{
    int length = (int)SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    if (length < 0) length = 0;
    if (!text->Allocate(((DWORD)length + 1) * sizeof(WCHAR))) return false;
    int got = (int)SendMessageW(window, WM_GETTEXT, (WPARAM)length + 1, (LPARAM)text->Units());
    *units = got > 0 ? got : 0;
    text->Units()[*units] = L'\0';
    return true;
}
