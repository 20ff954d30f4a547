#include "dialog_field.h"

#include <string.h>

#include "app_state.h"
#include "bounded_text.h"
#include "text_convert.h"

enum { kFieldUnits = kTextSize };  // no field is read longer than a text

void ReadFieldWide(HWND dialog, int id, WCHAR* wide, int units)
{
    wide[0] = L'\0';
    int got = GetDlgItemTextW(dialog, id, wide, units);
    // Terminated right after what the control delivered, whatever it left
    // in the rest of the buffer.
    wide[got >= 0 && got < units ? got : 0] = L'\0';
}

// A UTF-16 text as bytes in codePage (which holds it exactly), cut to
// `size` - 1 bytes on a character boundary.
static void CodeText(const WCHAR* wide, int codePage, char* text, int size)
{
    // Up to 1023 units take at most three bytes each in either code page.
    char whole[4 * kFieldUnits];
    if (EncodeText(wide, -1, codePage, whole, (int)sizeof whole) < 0) whole[0] = '\0';
    CopyText(text, size, whole, -1, codePage);
}

int ReadFieldTexts(HWND dialog, const int* ids, char* const* texts, int count, int size,
                   int preferred)
{
    enum { kMostFields = 4 };
    WCHAR wide[kMostFields][kFieldUnits];
    const WCHAR* seen[kMostFields];
    if (count > kMostFields) count = kMostFields;
    for (int i = 0; i < count; ++i) {
        ReadFieldWide(dialog, ids[i], wide[i], kFieldUnits);
        seen[i] = wide[i];
    }
    const int codePage = preferred == kCodePageUtf8 ? kCodePageUtf8 : ChooseCodePage(seen, count);
    for (int i = 0; i < count; ++i) CodeText(wide[i], codePage, texts[i], size);
    return codePage;
}

void SetFieldText(HWND dialog, int id, const char* text, int codePage)
{
    WCHAR wide[kFieldUnits];
    if (DecodeText(text, (int)strlen(text), codePage, wide, kFieldUnits) < 0) wide[0] = L'\0';
    SetDlgItemTextW(dialog, id, wide);
}
