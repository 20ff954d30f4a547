// Reading and filling a dialog's text fields. Fields hold UTF-16; the
// program keeps texts as bytes in code page 932 where that holds them
// exactly and in UTF-8 otherwise (app_state.h).
#pragma once
#include <windows.h>

#include "app_state.h"
#include "text_encoding.h"

// No text field is read longer than a text: at most kTextSize - 1 units.
enum { kFieldUnits = kTextSize };

// The field's text as UTF-16 into `wide` (room for `units`, so at most
// units - 1 of them): cut there before a surrogate pair, never inside one,
// and a surrogate without its partner as U+FFFD (wide_text.h).
void ReadFieldWide(HWND dialog, int id, WCHAR* wide, int units);

// Reads `count` fields and gives their texts in one code page, which is
// returned: 932 when every one of them holds it exactly and `preferred` is
// 932, else UTF-8. Each text is cut to `size` - 1 bytes on a character
// boundary.
int ReadFieldTexts(HWND dialog, const int* ids, char* const* texts, int count, int size,
                   int preferred = kCodePage932);

// Shows a text (bytes in codePage) in a field.
void SetFieldText(HWND dialog, int id, const char* text, int codePage);
