#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry_filter.h"

namespace {

std::wstring Fold(const std::wstring& text)
{
    std::vector<wchar_t> folded(text.size() + 1);
    return std::wstring(folded.data(), FoldText(text.c_str(), (int)text.size(), folded.data()));
}

TEST(EntryFilter, FoldsCaseWidthAndKanaIntoOneForm)
{
    const struct {
        const wchar_t* text;
        const wchar_t* folded;
    } rows[] = {
        {L"ABC.com", L"abc.com"},
        {L"ＡＢＣ．ＣＯＭ", L"abc.com"},
        {L"ａｂｃ！＂～", L"abc!\"~"},
        {L"Ａ　Ｂ", L"a b"},
        {L"ﾃﾞｰﾀ", L"データ"},
        {L"ｶﾞｷﾞﾊﾟﾋﾟｳﾞﾜﾞｦﾞ", L"ガギパピヴヷヺ"},
        {L"かたかな ゔ ゝゞ", L"カタカナ ヴ ヽヾ"},
        {L"ｧｯｬｮ｡｢｣､･", L"ァッャョ。「」、・"},
        // A mark that belongs to no kana stays a mark of its own; one
        // kana takes one mark.
        {L"ｱﾞ ﾞｶ ﾅﾟ ｶﾞﾞ", L"ア゛ ゛カ ナ゜ ガ゛"},
        // Full-width kana, kanji, other letters and surrogates stay.
        {L"ガ漢字éÉ\xD83D\xDE00", L"ガ漢字éÉ\xD83D\xDE00"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.folded, Fold(row.text));
    }
}

bool Keeps(const std::wstring& field, const std::wstring& entry)
{
    FilterWords words;
    EXPECT_TRUE(SplitFilterWords(field.c_str(), (int)field.size(), &words));
    const std::wstring folded = Fold(entry);
    const bool kept = EntryHoldsWords(folded.c_str(), (int)folded.size(), &words);
    FreeFilterWords(&words);
    return kept;
}

TEST(EntryFilter, KeepsEntriesHoldingEveryWordAnywhere)
{
    const struct {
        const wchar_t* field;
        const wchar_t* entry;
        bool kept;
    } rows[] = {
        {L"", L"anything", true},
        {L" 　\t", L"anything", true},
        {L"morning", L"Greeting/=\"Good Morning\"", true},
        {L"greet MORN", L"Greeting/=\"Good Morning\"", true},
        {L"morn greet", L"Greeting/=\"Good Morning\"", true},
        {L"morning evening", L"Greeting/=\"Good Morning\"", false},
        {L"memo.txt", L"Memo/f=\"C:\\memo.txt\"", true},
        {L"ＡＢＣ．ＣＯＭ", L"mail abc.com", true},
        {L"ﾃﾞｰﾀ", L"データ集", true},
        {L"でーた", L"ﾃﾞｰﾀ集", true},
        {L"かたかな", L"カタカナ", true},
        {L"テ", L"データ", false},
        {L"か", L"ガ", false},
        {L"ｶﾞ", L"カ", false},
        // What the field holds exactly is always found: a kana that ends a
        // word may meet its mark in the entry, a mark that starts one its
        // kana.
        {L"ｶ", L"ｶﾞ", true},
        {L"xｶ", L"xｶﾞx", true},
        {L"ｶ", L"xガ", true},
        {L"ﾞ", L"ｶﾞ", true},
        {L"ﾞx", L"ｶﾞx", true},
        {L"ﾟﾎ", L"ﾎﾟﾎﾟ", true},
        {L"ﾞx", L"ｶﾟx", false},
        {L"ｶ", L"キ", false},
        {L"ab", L"a", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.kept, Keeps(row.field, row.entry)) << row.field << L" / " << row.entry;
    }
}

}  // namespace
