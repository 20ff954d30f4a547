// The main window's narrowing over arbitrary entries and fields: an entry
// holding the field's exact text is always kept, whatever the folding makes
// of either, the list of folded entries agrees with the single entry, and
// nothing is read or written outside the texts.
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "entry_filter.h"
#include "fuzz_input.h"

// Where folding has the most to do: letters of both cases and widths,
// blanks, kana of every kind, the marks and the kana they join.
static const wchar_t kAlphabet[] = {
    'a', 'A', 0xFF41, 0xFF21, ' ', '\t', 0x3000, 0x304B, 0x30AB, 0x30AC, 0xFF76, 0xFF9E,
    0xFF9F, 0xFF8A, 0x30D1, 0x309B, 0x309C, 0xFF73, 0x30F4, 0xFF71, 'x', 0xD83D,
};

static std::wstring Text(const std::string& bytes)
{
    std::wstring text;
    for (unsigned char byte : bytes) text += kAlphabet[byte % (sizeof kAlphabet / sizeof kAlphabet[0])];
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string entryBytes, fieldBytes;
    SplitFuzzInput(data, size, &entryBytes, &fieldBytes);
    const std::wstring entry = Text(entryBytes);
    // The field as given, or else a piece of the entry.
    std::wstring field = Text(fieldBytes);
    if (field.empty() && !entry.empty()) {
        const size_t from = (size_t)data[0] % entry.size();
        field = entry.substr(from, 1 + (size > 1 ? data[1] : 0) % (entry.size() - from));
    }
    // Exact-size heap copy, so that AddressSanitizer sees any unit read past.
    wchar_t* exactField = (wchar_t*)malloc(sizeof(wchar_t) * (field.size() + 1));
    field.copy(exactField, field.size());

    FilterWords words;
    FoldedList list;
    if (SplitFilterWords(exactField, (int)field.size(), &words) && StartFoldedList(&list, 1, 1)) {
        // The field itself holds every word of it, so it is always kept.
        if (AddFoldedEntry(&list, entry.c_str(), (int)entry.size()) &&
            AddFoldedEntry(&list, exactField, (int)field.size())) {
            FUZZ_CHECK(list.starts[1] <= (int)entry.size());
            const bool kept = EntryHoldsWords(list.units, list.starts[1], &words);
            if (entry.find(field) != std::wstring::npos) FUZZ_CHECK(kept);
            int matches[2];
            const int found = MatchFoldedList(&list, &words, matches);
            FUZZ_CHECK(found == (kept ? 2 : 1) && matches[found - 1] == 1);
        }
        FreeFoldedList(&list);
    }
    FreeFilterWords(&words);
    free(exactField);
    return 0;
}
