// Narrowing the main window's list to what the user types: the texts as the
// list shows them (UTF-16) are folded into one form, so that letter case,
// full and half width and hiragana against katakana make no difference,
// and an entry is kept when it holds every blank-separated word of the
// field. Platform-free: a unit is kept in a wchar_t, 16 bits on Windows and
// more on the host, where the tests run; only values up to 0xFFFF occur.
//
// The folded form, unit by unit:
// - ASCII and full-width letters (Ａ, ａ) become small ASCII letters, and
//   every other full-width ASCII sign (U+FF01-FF5E) its ASCII one;
// - the ideographic space becomes a blank;
// - hiragana becomes katakana (か becomes カ, ゝ becomes ヽ);
// - half-width katakana and signs (U+FF61-FF9F) become their full-width
//   forms, and a voiced or semi-voiced mark (ﾞ ﾟ) right after the kana it
//   belongs to is taken into it: ｶﾞ becomes ガ, ﾊﾟ becomes パ, ｳﾞ becomes ヴ.
// Everything else stays as it is. The folded text is never longer than the
// text.
#pragma once

// Folds `units` units of text into `folded`, which has room for as many;
// the units written.
int FoldText(const wchar_t* text, int units, wchar_t* folded);

// One word of the field, folded. A half-width kana that ends a word may be
// followed in an entry by the mark that the word has not got yet (ｶ as the
// user types ｶﾞ), and a mark that starts a word may belong to the kana
// before it in the entry: such a first or last unit stands for every form
// it may have taken in the entry, so that an entry holding the field's text
// exactly is always kept.
struct FilterWord {
    int start;             // into FilterWords::folded
    int length;            // the units that must stand in the entry as they are
    wchar_t startMark;     // ゛ or ゜ that starts the word, or 0
    wchar_t endForms[3];   // the kana that ends it and its voiced forms, or 0
};

struct FilterWords {
    wchar_t* folded;
    FilterWord* words;
    int count;
};

// The words of the field `units` units long: its folded text split at
// blanks and tabs. No words (an empty field, or blanks only) keep every
// entry. False when the memory cannot be had; `words` then holds none.
bool SplitFilterWords(const wchar_t* field, int units, FilterWords* words);
void FreeFilterWords(FilterWords* words);

// True when the folded entry holds every word.
bool EntryHoldsWords(const wchar_t* folded, int units, const FilterWords* words);

// The folded texts of a whole list, one after the other, kept from one
// keystroke to the next.
struct FoldedList {
    wchar_t* units;
    int* starts;   // entry i is units[starts[i] .. starts[i + 1])
    int count;
    int capacity;  // of units
    int room;      // of entries
};

// An empty list with room for `entries` entries and `units` units; false
// when the memory cannot be had.
bool StartFoldedList(FoldedList* list, int entries, int units);
// Folds the next entry onto the list; it grows as needed. False when the
// memory cannot be had (the list keeps the entries before).
bool AddFoldedEntry(FoldedList* list, const wchar_t* shown, int units);
void FreeFoldedList(FoldedList* list);

// The entries that hold every word, as ascending indices into `matches`
// (room for list->count); their number.
int MatchFoldedList(const FoldedList* list, const FilterWords* words, int* matches);
