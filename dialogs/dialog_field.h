// Reading and filling a dialog's text fields. Fields hold UTF-16; the
// program keeps texts as bytes in code page 932 where that holds them
// exactly and in UTF-8 otherwise (app_state.h).
#pragma once
#include <windows.h>

#include "app_state.h"
#include "heap_text.h"
#include "text_encoding.h"

// No text field is read longer than a text: at most kTextSize - 1 units.
enum { kFieldUnits = kTextSize };

// The field's text as UTF-16 into `wide` (room for `units`, so at most
// units - 1 of them), a surrogate without its partner as U+FFFD
// (wide_text.h). False when the field held more (or could not be read
// whole): `wide` then holds what fits, cut before a surrogate pair, never
// inside one, and is not to be taken for the field's text.
bool ReadFieldWide(HWND dialog, int id, WCHAR* wide, int units);

// Reads `count` fields and gives their texts in one code page, put into
// *codePage: 932 when every one of them holds it exactly and `preferred`
// is 932, else UTF-8. False when a field held more than its text can take
// (`size` - 1 bytes in that code page, or kFieldUnits - 1 units): nothing is
// cut in silence, the caller refuses the texts, which are then cut on a
// character boundary.
bool ReadFieldTexts(HWND dialog, const int* ids, char* const* texts, int count, int size,
                    int preferred, int* codePage);

// Shows a text (bytes in codePage) in a field.
void SetFieldText(HWND dialog, int id, const char* text, int codePage);

// A window's whole text, however long, as UTF-16 into `text` (terminated),
// its length in *units. False when the memory cannot be had.
bool ReadWindowWide(HWND window, HeapText* text, int* units);
