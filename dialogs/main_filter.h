// The main window's drop-down list narrowed to what the user types into
// its field: only the entries that hold every word of it, in list order
// (entry_filter.h says how texts are compared). Only typing narrows: a
// text the program puts into the field (the command line's message, the
// file button's reference, a picked entry) leaves the list whole, at the
// latest when it next drops down. The items keep pointing into the list's
// model, so what is copied stays exactly what the field holds.
#pragma once
#include <windows.h>

#include "clip_list_file.h"

// A new main window whose drop-down list `combo` shows `model`. Nothing is
// folded until the user types.
void StartListFilter(HWND combo, const ClipListModel* model);

// After a load into the drop-down list went as `loaded`: with `keepField`,
// while the field holds what the user typed, only the new list's entries
// that match it are shown, the field, its caret and the picked entry kept.
// Without, the list shows every entry.
void FilterAfterLoad(HWND combo, ClipListLoadResult loaded, bool keepField);

// The user typed into the field or pasted (CBN_EDITCHANGE).
void NarrowToTypedText(HWND combo);

// The program put a text into the field: every entry is shown.
void ShowEveryEntry(HWND combo);

// The combo box's notifications, in the order it sends them.
void FilterBeforeDropDown(HWND combo);     // CBN_DROPDOWN
void FilterSelectionChanged(HWND dialog);  // CBN_SELCHANGE
void FilterClosedUp(HWND dialog);          // CBN_CLOSEUP
// WM_APP_FIELD_SETTLED, which the two before post: the pick (or none) is
// over and the field holds what it will hold.
void FilterFieldSettled(HWND combo);
