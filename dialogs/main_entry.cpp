#include "main_entry.h"

#include <string.h>

#include "app_state.h"
#include "text_convert.h"
#include "wide_text.h"

// The field's text, any length, as UTF-16 in a block.
static bool ReadComboText(HWND combo, HeapText* text, int* units)
{
    int length = (int)SendMessageW(combo, WM_GETTEXTLENGTH, 0, 0);
    if (length < 0) length = 0;
    if (!text->Allocate(((DWORD)length + 1) * sizeof(WCHAR))) return false;
    int got = (int)SendMessageW(combo, WM_GETTEXT, (WPARAM)length + 1, (LPARAM)text->Units());
    // In place: a surrogate without its partner becomes U+FFFD, as in every
    // field, instead of making the entry one no code page holds.
    *units = CopyWideText(text->Units(), length + 1, text->Units(), got > 0 ? got : 0);
    return true;
}

// True when the field shows the selected item unchanged: then it stands
// for that item's bytes.
static bool ShowsSelectedItem(HWND combo, const HeapText& text, int units, int* selected)
{
    *selected = (int)SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (*selected < 0) return false;
    HeapText item;
    int itemUnits = 0;
    if (!ReadItemWide(combo, kComboBox, *selected, &item, &itemUnits)) return false;
    return itemUnits == units &&
           memcmp(item.Units(), text.Units(), (size_t)units * sizeof(WCHAR)) == 0;
}

bool TakeMainEntry(HWND combo, ItemText* entry)
{
    HeapText text;
    int units = 0;
    if (!ReadComboText(combo, &text, &units)) return false;
    int selected = -1;
    if (units > 0 && ShowsSelectedItem(combo, text, units, &selected)) {
        return ReadItemText(combo, kComboBox, selected, m_ListCodePage, entry);
    }
    const WCHAR* texts[] = {text.Units()};
    entry->codePage = ChooseCodePage(texts, 1);
    return EncodeToBlock(text.Units(), units, entry->codePage, &entry->memory, &entry->length);
}
