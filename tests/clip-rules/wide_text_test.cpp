#include <gtest/gtest.h>

#include <wchar.h>

#include <string>

#include "wide_text.h"

namespace {

// U+1F600 as a surrogate pair, and the two halves alone.
const wchar_t kHigh = 0xD83D;
const wchar_t kLow = 0xDE00;
const wchar_t kFffd = 0xFFFD;

std::wstring Units(std::initializer_list<wchar_t> units)
{
    return std::wstring(units);
}

TEST(WideText, CutsBeforeAPairAndReplacesLoneSurrogates)
{
    const struct {
        const char* what;
        std::wstring text;
        int room;  // units with the terminator
        std::wstring kept;
    } rows[] = {
        {"fits", L"ab", 3, L"ab"},
        {"cut at the room", L"abc", 3, L"ab"},
        {"a pair that fits stays whole", Units({'a', kHigh, kLow}), 4, Units({'a', kHigh, kLow})},
        {"the room ends inside the pair: cut before it", Units({'a', kHigh, kLow, 'b'}), 3,
         L"a"},
        {"the room ends right after the pair", Units({'a', kHigh, kLow, 'b'}), 4,
         Units({'a', kHigh, kLow})},
        {"a high half alone", Units({'a', kHigh, 'b'}), 9, Units({'a', kFffd, 'b'})},
        {"a low half alone", Units({kLow, 'b'}), 9, Units({kFffd, 'b'})},
        {"a high half at the end", Units({'a', kHigh}), 9, Units({'a', kFffd})},
        {"two high halves, then a low one", Units({kHigh, kHigh, kLow}), 9,
         Units({kFffd, kHigh, kLow})},
        {"the halves the wrong way round", Units({kLow, kHigh}), 9, Units({kFffd, kFffd})},
        {"a lone half at the last place of the room", Units({'a', kHigh, 'b'}), 3,
         Units({'a', kFffd})},
        {"no room but the terminator", L"abc", 1, L""},
    };
    for (const auto& row : rows) {
        wchar_t out[16];
        wmemset(out, L'Z', 16);
        int n = CopyWideText(out, row.room, row.text.c_str(), (int)row.text.size());
        EXPECT_EQ(row.kept, std::wstring(out)) << row.what;
        EXPECT_EQ((int)row.kept.size(), n) << row.what;
    }
}

// The case users met: 1,022 letters, an emoji and a letter in a field of
// 1023 units keep the letters rather than lose everything; in place.
TEST(WideText, FullFieldWithAPairAtItsEndKeepsWhatFits)
{
    std::wstring text(1022, L'a');
    text += Units({kHigh, kLow, 'b'});
    std::wstring buffer = text;
    int n = CopyWideText(&buffer[0], 1024, buffer.c_str(), (int)buffer.size());
    EXPECT_EQ(1022, n);
    EXPECT_EQ(std::wstring(1022, L'a'), buffer.c_str());
}

}  // namespace
