#include <gtest/gtest.h>

#include <string>

#include "text_encoding.h"

namespace {

const std::string kUtf8Mark = "\xEF\xBB\xBF";

// Which encoding a list or a referenced file is read in. Short code page
// 932 texts can be valid UTF-8 as well; there code page 932 wins unless the
// UTF-8 reading is the likelier one.
TEST(TextEncoding, DetectionPrefersCodePage932WhereBothReadTheBytes)
{
    struct Row {
        const char* what;
        std::string bytes;
        bool validInBoth;  // valid UTF-8 with a multi-byte character, and 932 text
        TextFileEncoding encoding;
    };
    const Row rows[] = {
        // Code page 932 lists that are valid UTF-8 too.
        {u8"ﾊｲ (CA B2, UTF-8 ʲ)", "\xCA\xB2", true, kEncoding932},
        {u8"ﾈｺ (C8 BA, UTF-8 Ⱥ)", "\xC8\xBA\r\n", true, kEncoding932},
        {u8"two half-width pairs", "\xCA\xB2\r\n\xC8\xBA\r\n", true, kEncoding932},
        {u8"ﾊｲ and ﾃｨ: a tie", "\xCA\xB2\r\n\xC3\xA8\r\n", true, kEncoding932},
        {u8"纒 and a full-width space", "\xE3\x95\x81\x40\r\n", true, kEncoding932},
        {u8"爛 and 、", "\xE0\xA3\x81\x41", true, kEncoding932},
        {u8"纒 and ア", "T/=\"\xE3\x95\x83\x41\"\r\n", true, kEncoding932},
        {u8"ﾊｲ and 纒　", "\xCA\xB2\r\n\xE3\x95\x81\x40\r\n", true, kEncoding932},
        // Code page 932 lists that are no UTF-8.
        {u8"表ソ", "\x95\x5C\x83\x5C\r\n", false, kEncoding932},
        {u8"ﾃｨｰ", "\xC3\xA8\xB0", false, kEncoding932},
        {u8"ASCII only", "Good morning\r\n", false, kEncoding932},
        {u8"empty", "", false, kEncoding932},
        // UTF-8 lists that are code page 932 text too.
        {u8"é", "\xC3\xA9", true, kEncodingUtf8},
        {u8"Café", "Caf\xC3\xA9\r\n", true, kEncodingUtf8},
        {u8"©", "\xC2\xA9\r\n", true, kEncodingUtf8},
        {u8"one emoji", "\xF0\x9F\x98\x80", true, kEncodingUtf8},
        {u8"𠮷", "\xF0\xA0\xAE\xB7\r\n", true, kEncodingUtf8},
        {u8"あい", "\xE3\x81\x82\xE3\x81\x84", true, kEncodingUtf8},
        {u8"日本", "\xE6\x97\xA5\xE6\x9C\xAC\r\n", true, kEncodingUtf8},
        {u8"ハイ", "\xE3\x83\x8F\xE3\x82\xA4\r\n", true, kEncodingUtf8},
        {u8"カフェ", "\xE3\x82\xAB\xE3\x83\x95\xE3\x82\xA7", true, kEncodingUtf8},
        {u8"表ソ", "\xE8\xA1\xA8\xE3\x82\xBD\r\n", true, kEncodingUtf8},
        {u8"ﾊｲ beside é", "\xCA\xB2\r\n\xC3\xA9\r\n\xC3\xA9\r\n", true, kEncodingUtf8},
        // UTF-8 lists that no code page 932 reads.
        {u8"one kana あ", "\xE3\x81\x82", false, kEncodingUtf8},
        {u8"あ and CR LF", "\xE3\x81\x82\r\n", false, kEncodingUtf8},
        {u8"à (C3 A0)", "\xC3\xA0", false, kEncodingUtf8},
        // A mark decides alone.
        {u8"mark and ﾊｲ", kUtf8Mark + "\xCA\xB2\r\n", false, kEncodingUtf8Bom},
        {u8"mark and 纒　", kUtf8Mark + "\xE3\x95\x81\x40", false, kEncodingUtf8Bom},
        {u8"mark alone", kUtf8Mark, false, kEncodingUtf8Bom},
        {u8"UTF-16 mark", "\xFF\xFE" "A\0", false, kEncodingUtf16Bom},
    };
    for (const Row& row : rows) {
        const char* bytes = row.bytes.data();
        const int count = (int)row.bytes.size();
        if (EncodingByMark(bytes, count) == kEncoding932) {
            Utf8Check check;
            StartUtf8Check(&check);
            FeedUtf8Check(&check, bytes, count);
            EXPECT_EQ(row.validInBoth, IsUtf8Text(&check) && IsText932(bytes, count))
                << row.what << ": the row is not the case it names";
        }
        EXPECT_EQ(row.encoding, DetectEncoding(bytes, count)) << row.what;
    }
}

// Each multi-byte UTF-8 character counts once, for UTF-8 or against it.
TEST(TextEncoding, Utf8LikelihoodCountsEachCharacter)
{
    const struct { const char* what; std::string bytes; int likelihood; } rows[] = {
        {u8"ASCII", "abc", 0},
        {u8"ﾊｲ", "\xCA\xB2", -1},
        {u8"é", "\xC3\xA9", 1},
        {u8"ß (C3 9F)", "\xC3\x9F", 1},
        {u8"C1 control U+0085", "\xC2\x85", -1},
        {u8"emoji", "\xF0\x9F\x98\x80", 1},
        {u8"纒　", "\xE3\x95\x81\x40", -1},
        {u8"3 bytes then CR", "\xE3\x95\x81\r", 1},
        {u8"3 bytes at the end", "\xE3\x95\x81", 1},
        {u8"3 bytes, last A1-BF", "\xE6\x97\xA5", 1},
        {u8"é ﾊｲ ﾈｺ", "\xC3\xA9 \xCA\xB2 \xC8\xBA", -1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.likelihood, Utf8Likelihood(row.bytes.data(), (int)row.bytes.size()))
            << row.what;
    }
}

}  // namespace
