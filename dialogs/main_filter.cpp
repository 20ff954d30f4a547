#include "main_filter.h"
#include "dialog_field.h"

#include <stdlib.h>
#include <string.h>

#include "entry_filter.h"
#include "heap_text.h"
#include "resource.h"

// The drop-down list, its field and its list box, and the model its items
// point into.
static HWND m_ComboEdit;
static HWND m_ComboList;
static const ClipListModel* m_FilterModel;

// Which lines the list shows, in its order (item i shows line m_Shown[i]);
// unknown after a load the control did not take whole, or without memory.
static int* m_Shown;
static int m_ShownRoom;
static int m_ShownCount;
static bool m_ShownKnown;

// The shown texts of the model's lines, folded once at the first keystroke
// after a load.
static FoldedList m_Folded;
static bool m_FoldedValid;

// The field holds what the user typed, not a text the program put there.
static bool m_Typed;

// While the list drops down over typed text: the combo box puts the first
// item that starts with the field's text into the field, and selects it
// whole, as the list opens and as the mouse lets go of its button. The
// field's own window keeps both out, so typed text stays as typed.
static bool m_KeepField;
static WNDPROC m_FieldProc;

static LRESULT CALLBACK KeepTypedField(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_KeepField && message == WM_SETTEXT) return TRUE;
    if (m_KeepField && message == EM_SETSEL) return 0;
    return CallWindowProcW(m_FieldProc, edit, message, wParam, lParam);
}

static bool ReserveShown(int count)
{
    if (count <= m_ShownRoom) return true;
    int* more = (int*)realloc(m_Shown, sizeof(int) * (size_t)count);
    if (!more) return false;
    m_Shown = more;
    m_ShownRoom = count;
    return true;
}

// What the list shows after a load filled it with every line.
static void ShowsEveryLine(HWND combo)
{
    const int count = m_FilterModel->count;
    m_ShownKnown = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0) == count && ReserveShown(count);
    m_ShownCount = m_ShownKnown ? count : 0;
    for (int i = 0; i < m_ShownCount; ++i) m_Shown[i] = i;
}

void StartListFilter(HWND combo, const ClipListModel* model)
{
    m_FilterModel = model;
    m_ShownKnown = m_FoldedValid = m_Typed = m_KeepField = false;
    m_ShownCount = 0;
    FreeFoldedList(&m_Folded);
    COMBOBOXINFO parts = {};
    parts.cbSize = sizeof parts;
    m_ComboEdit = m_ComboList = NULL;
    // Without its parts (never seen) the list still narrows; the combo box
    // then completes the field as it drops down, as it always did.
    if (!SendMessageW(combo, CB_GETCOMBOBOXINFO, 0, (LPARAM)&parts)) return;
    m_ComboEdit = parts.hwndItem;
    m_ComboList = parts.hwndList;
    m_FieldProc = (WNDPROC)SetWindowLongPtrW(m_ComboEdit, GWLP_WNDPROC, (LONG_PTR)KeepTypedField);
}

// Fills the list with `count` lines (the lines `lines` names, or the first
// ones when it is null) in one redraw, keeping the field, its caret and the
// picked entry where it is still shown. Emptying a combo box empties its
// field, so without the memory to keep the field nothing changes.
static void FillList(HWND combo, const int* lines, int count)
{
    HeapText field;
    int units = 0;
    if (!ReadWindowWide(combo, &field, &units)) return;
    const DWORD caret = (DWORD)SendMessageW(combo, CB_GETEDITSEL, 0, 0);
    const int item = (int)SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const int picked = m_ShownKnown && item >= 0 && item < m_ShownCount ? m_Shown[item] : -1;

    SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    m_ShownKnown = ReserveShown(count);
    const int codePage = CodePageOf(m_FilterModel->encoding);
    int shown = 0, pickedAt = -1;
    for (int i = 0; i < count; ++i) {
        const int line = lines ? lines[i] : i;
        // An item the control refuses (out of memory) is left out, as a load
        // leaves it out.
        if (!AddClipLine(combo, kComboBox, &m_FilterModel->lines[line], codePage)) continue;
        if (line == picked) pickedAt = shown;
        if (m_ShownKnown) m_Shown[shown] = line;
        ++shown;
    }
    m_ShownCount = shown;
    SendMessageW(combo, WM_SETTEXT, 0, (LPARAM)field.Units());
    SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(caret), HIWORD(caret)));
    // Picked on the list box itself: the combo box's own way would put the
    // item into the field.
    if (pickedAt >= 0 && m_ComboList) SendMessageW(m_ComboList, LB_SETCURSEL, (WPARAM)pickedAt, 0);
    SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
    // The list box of a dropped list is a window of its own, not the combo
    // box's child.
    RedrawWindow(combo, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (m_ComboList && IsWindowVisible(m_ComboList)) {
        RedrawWindow(m_ComboList, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
}

// Shows those lines unless the list shows them already: a keystroke that
// leaves the same entries costs no redraw.
static void ShowLines(HWND combo, const int* lines, int count)
{
    bool same = m_ShownKnown && m_ShownCount == count;
    for (int i = 0; same && i < count; ++i) same = m_Shown[i] == (lines ? lines[i] : i);
    if (!same) FillList(combo, lines, count);
}

// Folds every line's shown text into m_Folded, once per load.
static bool FoldModel()
{
    if (m_FoldedValid) return true;
    FreeFoldedList(&m_Folded);
    // No more units than bytes, in either code page.
    long long units = 0;
    for (int i = 0; i < m_FilterModel->count; ++i) {
        const int length = m_FilterModel->lines[i].length;
        units += length < kClipShownMax ? length : kClipShownMax;
    }
    if (units > 0x7FFFFFFE || !StartFoldedList(&m_Folded, m_FilterModel->count, (int)units)) {
        return false;
    }
    const int codePage = CodePageOf(m_FilterModel->encoding);
    WCHAR shown[kClipShownMax + 1];
    for (int i = 0; i < m_FilterModel->count; ++i) {
        const int count = ShowLineText(&m_FilterModel->lines[i], codePage, shown);
        if (!AddFoldedEntry(&m_Folded, shown, count)) {
            FreeFoldedList(&m_Folded);
            return false;
        }
    }
    m_FoldedValid = true;
    return true;
}

static int MatchLines(const FilterWords* words, int* matches)
{
    if (FoldModel()) return MatchFoldedList(&m_Folded, words, matches);
    // Without the memory to keep them (a list of near a gigabyte), each
    // line is folded as it is looked at: slower, never wrong.
    const int codePage = CodePageOf(m_FilterModel->encoding);
    WCHAR shown[kClipShownMax + 1], folded[kClipShownMax + 1];
    int found = 0;
    for (int i = 0; i < m_FilterModel->count; ++i) {
        const int units = FoldText(shown, ShowLineText(&m_FilterModel->lines[i], codePage, shown),
                                   folded);
        if (EntryHoldsWords(folded, units, words)) matches[found++] = i;
    }
    return found;
}

void NarrowToTypedText(HWND combo)
{
    m_Typed = true;
    HeapText field;
    int units = 0;
    FilterWords words;
    // Without the memory to look, the list stays as it is.
    if (!ReadWindowWide(combo, &field, &units) || !SplitFilterWords(field.Units(), units, &words)) return;
    const int count = m_FilterModel->count;
    if (words.count == 0) {
        ShowLines(combo, nullptr, count);
    } else if (int* matches = (int*)malloc(sizeof(int) * (size_t)(count > 0 ? count : 1))) {
        ShowLines(combo, matches, MatchLines(&words, matches));
        free(matches);
    }
    FreeFilterWords(&words);
    // The Down arrow goes to the first entry shown, not to the one the
    // combo box chose for starting with the field's text.
    if (m_ComboList) {
        SendMessageW(m_ComboList, LB_SETCURSEL, (WPARAM)-1, 0);
        SendMessageW(m_ComboList, LB_SETCARETINDEX, 0, 0);
    }
}

void ShowEveryEntry(HWND combo)
{
    m_Typed = false;
    ShowLines(combo, nullptr, m_FilterModel->count);
}

void FilterAfterLoad(HWND combo, ClipListLoadResult loaded, bool keepField)
{
    // Any other outcome left the list and its model as they were.
    if (loaded != kLoadDone && loaded != kLoadPartial) return;
    m_FoldedValid = false;
    ShowsEveryLine(combo);
    if (!keepField) m_Typed = false;
    if (m_Typed) NarrowToTypedText(combo);
}

void FilterBeforeDropDown(HWND combo)
{
    // A picked entry or the program's text: the list drops down whole.
    if (!m_Typed) {
        ShowEveryEntry(combo);
        return;
    }
    m_KeepField = m_ComboEdit != NULL;
}

void FilterSelectionChanged(HWND dialog)
{
    // An entry is picked (or the pick was cancelled): the combo box puts it
    // into the field as soon as this returns.
    m_KeepField = false;
    PostMessageW(dialog, WM_APP_FIELD_SETTLED, 0, 0);
}

void FilterClosedUp(HWND dialog)
{
    // A pick follows the close-up; whether there was one is known after it.
    PostMessageW(dialog, WM_APP_FIELD_SETTLED, 0, 0);
}

void FilterFieldSettled(HWND combo)
{
    // Dropped down (again) meanwhile: its close-up settles it.
    if (SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) return;
    const bool keptTyped = m_KeepField;
    m_KeepField = false;
    HeapText field, item;
    int fieldUnits = 0, itemUnits = 0;
    const int selected = (int)SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected >= 0 && ReadWindowWide(combo, &field, &fieldUnits) &&
        ReadItemWide(combo, kComboBox, selected, &item, &itemUnits) && fieldUnits == itemUnits &&
        memcmp(field.Units(), item.Units(), (size_t)itemUnits * sizeof(WCHAR)) == 0) {
        m_Typed = false;  // the field shows the picked entry
    } else if (keptTyped && m_ComboList) {
        // Closed without a pick: the typed text stands, and nothing is
        // picked that it does not show.
        SendMessageW(m_ComboList, LB_SETCURSEL, (WPARAM)-1, 0);
        SendMessageW(m_ComboList, LB_SETCARETINDEX, 0, 0);
    }
}
