#include "entry_filter.h"

#include <limits.h>
#include <stdlib.h>

namespace {

enum : wchar_t {
    kIdeographicSpace = 0x3000,
    kVoicedMark = 0x309B,      // ゛, what ﾞ folds to when it stands alone
    kSemiVoicedMark = 0x309C,  // ゜, the same for ﾟ
    kHalfVoiced = 0xFF9E,      // ﾞ
    kHalfSemiVoiced = 0xFF9F,  // ﾟ
    kHalfFirst = 0xFF61,
    kHalfLast = 0xFF9F,
};

// Half-width katakana and signs U+FF61-FF9F: the full-width form, and the
// forms a following ﾞ or ﾟ makes of it (0: none).
struct HalfWidth {
    wchar_t plain, voiced, semiVoiced;
};
const HalfWidth kHalfWidth[kHalfLast - kHalfFirst + 1] = {
    {0x3002, 0, 0},      {0x300C, 0, 0},      {0x300D, 0, 0},      {0x3001, 0, 0},  // ｡｢｣､
    {0x30FB, 0, 0},      {0x30F2, 0x30FA, 0}, {0x30A1, 0, 0},      {0x30A3, 0, 0},  // ･ｦｧｨ
    {0x30A5, 0, 0},      {0x30A7, 0, 0},      {0x30A9, 0, 0},      {0x30E3, 0, 0},  // ｩｪｫｬ
    {0x30E5, 0, 0},      {0x30E7, 0, 0},      {0x30C3, 0, 0},      {0x30FC, 0, 0},  // ｭｮｯｰ
    {0x30A2, 0, 0},      {0x30A4, 0, 0},      {0x30A6, 0x30F4, 0}, {0x30A8, 0, 0},  // ｱｲｳｴ
    {0x30AA, 0, 0},      {0x30AB, 0x30AC, 0}, {0x30AD, 0x30AE, 0}, {0x30AF, 0x30B0, 0},  // ｵｶｷｸ
    {0x30B1, 0x30B2, 0}, {0x30B3, 0x30B4, 0}, {0x30B5, 0x30B6, 0}, {0x30B7, 0x30B8, 0},  // ｹｺｻｼ
    {0x30B9, 0x30BA, 0}, {0x30BB, 0x30BC, 0}, {0x30BD, 0x30BE, 0}, {0x30BF, 0x30C0, 0},  // ｽｾｿﾀ
    {0x30C1, 0x30C2, 0}, {0x30C4, 0x30C5, 0}, {0x30C6, 0x30C7, 0}, {0x30C8, 0x30C9, 0},  // ﾁﾂﾃﾄ
    {0x30CA, 0, 0},      {0x30CB, 0, 0},      {0x30CC, 0, 0},      {0x30CD, 0, 0},  // ﾅﾆﾇﾈ
    {0x30CE, 0, 0},      {0x30CF, 0x30D0, 0x30D1}, {0x30D2, 0x30D3, 0x30D4},         // ﾉﾊﾋ
    {0x30D5, 0x30D6, 0x30D7}, {0x30D8, 0x30D9, 0x30DA}, {0x30DB, 0x30DC, 0x30DD},    // ﾌﾍﾎ
    {0x30DE, 0, 0},      {0x30DF, 0, 0},      {0x30E0, 0, 0},      {0x30E1, 0, 0},  // ﾏﾐﾑﾒ
    {0x30E2, 0, 0},      {0x30E4, 0, 0},      {0x30E6, 0, 0},      {0x30E8, 0, 0},  // ﾓﾔﾕﾖ
    {0x30E9, 0, 0},      {0x30EA, 0, 0},      {0x30EB, 0, 0},      {0x30EC, 0, 0},  // ﾗﾘﾙﾚ
    {0x30ED, 0, 0},      {0x30EF, 0x30F7, 0}, {0x30F3, 0, 0},                       // ﾛﾜﾝ
    {kVoicedMark, 0, 0}, {kSemiVoicedMark, 0, 0},                                   // ﾞﾟ
};

const HalfWidth* HalfWidthOf(wchar_t unit)
{
    return unit >= kHalfFirst && unit <= kHalfLast ? &kHalfWidth[unit - kHalfFirst] : nullptr;
}

wchar_t FoldUnit(wchar_t unit)
{
    if (unit < 0x80) return unit >= 'A' && unit <= 'Z' ? (wchar_t)(unit + 0x20) : unit;
    if (unit == kIdeographicSpace) return ' ';
    // ぁ-ゖ and the iteration marks ゝゞ lie 0x60 below their katakana.
    if ((unit >= 0x3041 && unit <= 0x3096) || unit == 0x309D || unit == 0x309E) {
        return (wchar_t)(unit + 0x60);
    }
    if (unit >= 0xFF01 && unit <= 0xFF5E) return FoldUnit((wchar_t)(unit - 0xFEE0));
    const HalfWidth* half = HalfWidthOf(unit);
    return half ? half->plain : unit;
}

// The form a half-width kana takes with the mark after it, or 0.
wchar_t Composed(const HalfWidth* half, wchar_t mark)
{
    if (!half) return 0;
    if (mark == kHalfVoiced) return half->voiced;
    if (mark == kHalfSemiVoiced) return half->semiVoiced;
    return 0;
}

bool IsBlank(wchar_t unit)
{
    return unit == ' ' || unit == '\t' || unit == kIdeographicSpace;
}

// Whether a folded unit of an entry may hold the mark `mark` (゛ or ゜)
// that starts a word: the mark itself, or a kana it was taken into.
bool HoldsMark(wchar_t unit, wchar_t mark)
{
    if (unit == mark) return true;
    for (const HalfWidth& half : kHalfWidth) {
        if (unit == (mark == kVoicedMark ? half.voiced : half.semiVoiced) && unit != 0) return true;
    }
    return false;
}

bool Contains(const wchar_t* text, int units, const wchar_t* word, int length)
{
    const wchar_t first = word[0];
    for (int at = 0; at + length <= units; ++at) {
        if (text[at] != first) continue;
        int same = 1;
        while (same < length && text[at + same] == word[same]) ++same;
        if (same == length) return true;
    }
    return false;
}

bool HoldsWord(const wchar_t* text, int units, const wchar_t* folded, const FilterWord& word)
{
    const wchar_t* core = folded + word.start;
    const bool markFirst = word.startMark != 0, kanaLast = word.endForms[0] != 0;
    if (!markFirst && !kanaLast) return Contains(text, units, core, word.length);
    // Rare: every place where the word's fixed units stand, with its open
    // ends checked around them.
    for (int at = markFirst ? 1 : 0; at + word.length + (kanaLast ? 1 : 0) <= units; ++at) {
        int same = 0;
        while (same < word.length && text[at + same] == core[same]) ++same;
        if (same < word.length) continue;
        if (markFirst && !HoldsMark(text[at - 1], word.startMark)) continue;
        if (kanaLast) {
            const wchar_t next = text[at + word.length];
            if (next != word.endForms[0] && (next == 0 || (next != word.endForms[1] &&
                                                            next != word.endForms[2]))) {
                continue;
            }
        }
        return true;
    }
    return false;
}

}  // namespace

int FoldText(const wchar_t* text, int units, wchar_t* folded)
{
    int out = 0;
    for (int in = 0; in < units; ++in) {
        const wchar_t unit = text[in];
        if (unit < 0x80) {  // most of most lists
            folded[out++] = unit >= 'A' && unit <= 'Z' ? (wchar_t)(unit + 0x20) : unit;
            continue;
        }
        const wchar_t composed = in + 1 < units ? Composed(HalfWidthOf(unit), text[in + 1]) : 0;
        if (composed) {
            folded[out++] = composed;
            ++in;
        } else {
            folded[out++] = FoldUnit(unit);
        }
    }
    return out;
}

bool SplitFilterWords(const wchar_t* field, int units, FilterWords* words)
{
    words->count = 0;
    words->words = nullptr;
    words->folded = (wchar_t*)malloc(sizeof(wchar_t) * ((size_t)units + 1));
    // At most one word for every two units, and one more.
    if (words->folded) words->words = (FilterWord*)malloc(sizeof(FilterWord) * ((size_t)units / 2 + 1));
    if (!words->folded || !words->words) {
        FreeFilterWords(words);
        return false;
    }
    // Word by word, each folded on its own: a blank never takes a mark, so
    // the words fold as they would within the whole field.
    int out = 0;
    for (int in = 0; in < units;) {
        if (IsBlank(field[in])) {
            ++in;
            continue;
        }
        int end = in;
        while (end < units && !IsBlank(field[end])) ++end;
        FilterWord& word = words->words[words->count++];
        word.start = out;
        word.length = FoldText(field + in, end - in, words->folded + out);
        out += word.length;
        word.startMark = 0;
        word.endForms[0] = word.endForms[1] = word.endForms[2] = 0;
        if (field[in] == kHalfVoiced || field[in] == kHalfSemiVoiced) {
            word.startMark = FoldUnit(field[in]);
            ++word.start;
            --word.length;
        }
        const HalfWidth* last = HalfWidthOf(field[end - 1]);
        // A mark has no voiced form, so a word of one mark is never both.
        if (last && (last->voiced || last->semiVoiced)) {
            word.endForms[0] = last->plain;
            word.endForms[1] = last->voiced;
            word.endForms[2] = last->semiVoiced;
            --word.length;
        }
        in = end;
    }
    return true;
}

void FreeFilterWords(FilterWords* words)
{
    free(words->folded);
    free(words->words);
    words->folded = nullptr;
    words->words = nullptr;
    words->count = 0;
}

bool EntryHoldsWords(const wchar_t* folded, int units, const FilterWords* words)
{
    for (int i = 0; i < words->count; ++i) {
        if (!HoldsWord(folded, units, words->folded, words->words[i])) return false;
    }
    return true;
}

bool StartFoldedList(FoldedList* list, int entries, int units)
{
    list->count = 0;
    list->room = entries > 0 ? entries : 1;
    list->capacity = units > 0 ? units : 1;
    list->starts = (int*)malloc(sizeof(int) * ((size_t)list->room + 1));
    list->units = (wchar_t*)malloc(sizeof(wchar_t) * (size_t)list->capacity);
    if (!list->starts || !list->units) {
        FreeFoldedList(list);
        return false;
    }
    list->starts[0] = 0;
    return true;
}

// Doubles `*room` until it holds `want`, never past INT_MAX - 1.
static bool Grown(int* room, long long want)
{
    if (want > INT_MAX - 1) return false;
    long long grown = *room;
    while (grown < want) grown *= 2;
    *room = grown > INT_MAX - 1 ? INT_MAX - 1 : (int)grown;
    return true;
}

bool AddFoldedEntry(FoldedList* list, const wchar_t* shown, int units)
{
    const int size = list->starts[list->count];
    if (size + (long long)units > list->capacity) {
        int capacity = list->capacity;
        if (!Grown(&capacity, size + (long long)units)) return false;
        wchar_t* more = (wchar_t*)realloc(list->units, sizeof(wchar_t) * (size_t)capacity);
        if (!more) return false;
        list->units = more;
        list->capacity = capacity;
    }
    if (list->count + 1 > list->room) {
        int room = list->room;
        if (!Grown(&room, list->count + 1LL)) return false;
        int* more = (int*)realloc(list->starts, sizeof(int) * ((size_t)room + 1));
        if (!more) return false;
        list->starts = more;
        list->room = room;
    }
    list->starts[list->count + 1] = size + FoldText(shown, units, list->units + size);
    ++list->count;
    return true;
}

void FreeFoldedList(FoldedList* list)
{
    free(list->units);
    free(list->starts);
    list->units = nullptr;
    list->starts = nullptr;
    list->count = list->capacity = list->room = 0;
}

int MatchFoldedList(const FoldedList* list, const FilterWords* words, int* matches)
{
    int found = 0;
    for (int i = 0; i < list->count; ++i) {
        const int start = list->starts[i];
        if (EntryHoldsWords(list->units + start, list->starts[i + 1] - start, words)) {
            matches[found++] = i;
        }
    }
    return found;
}
