#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text_encoding.h"

namespace {

const std::string kUtf8Mark = "\xEF\xBB\xBF";

// Which encoding a list or a referenced file is read in. Short code page
// 932 texts can be valid UTF-8 as well; there code page 932 wins unless the
// UTF-8 reading is the likelier text.
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
        {u8"𠮷", "\xF0\xA0\xAE\xB7\r\n", true, kEncodingUtf8},
        {u8"あい", "\xE3\x81\x82\xE3\x81\x84", true, kEncodingUtf8},
        {u8"日本", "\xE6\x97\xA5\xE6\x9C\xAC\r\n", true, kEncodingUtf8},
        {u8"ハイ", "\xE3\x83\x8F\xE3\x82\xA4\r\n", true, kEncodingUtf8},
        {u8"カフェ", "\xE3\x82\xAB\xE3\x83\x95\xE3\x82\xA7", true, kEncodingUtf8},
        {u8"表ソ", "\xE8\xA1\xA8\xE3\x82\xBD\r\n", true, kEncodingUtf8},
        {u8"ﾊｲ beside café crème", "\xCA\xB2\r\ncaf\xC3\xA9 cr\xC3\xA8me\r\n", true, kEncodingUtf8},
        {u8"ﾊｲ beside a lone é: a tie", "\xCA\xB2\r\n\xC3\xA9\r\n", true, kEncoding932},
        {u8"ﾄｶ (Ķ) among ASCII", "\"Yes\"\r\n\"\xC4\xB6\"\r\n", true, kEncoding932},
        {u8"вид", "\"\xD0\xB2\xD0\xB8\xD0\xB4\"\r\n", true, kEncodingUtf8},
        // UTF-8 lists that no code page 932 reads.
        {u8"one kana あ", "\xE3\x81\x82", false, kEncodingUtf8},
        {u8"あ and CR LF", "\xE3\x81\x82\r\n", false, kEncodingUtf8},
        {u8"à (C3 A0)", "\xC3\xA0", false, kEncodingUtf8},
        {u8"one emoji (98 80 stands for nothing)", "\xF0\x9F\x98\x80", false, kEncodingUtf8},
        {u8"своим (81 D0 stands for nothing)", "\xD1\x81\xD0\xB2\xD0\xBE\xD0\xB8\xD0\xBC", false,
         kEncodingUtf8},
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

// Both readings are weighed as text: what tips the scale each way.
TEST(TextEncoding, Utf8LikelihoodWeighsBothReadingsAsText)
{
    const struct { const char* what; std::string bytes; int sign; } rows[] = {
        {u8"Café: ﾃｩ glued to Latin letters", "Caf\xC3\xA9", 1},
        {u8"ﾄｶ: Ķ alone tells nothing", "\"\xC4\xB6\"", -1},
        {u8"ﾐｻﾄｺ: лĺ mixes two scripts", "\"\xD0\xBB\xC4\xBA\"", -1},
        {u8"ав: ﾐｰﾐｲ repeats ﾐ", "\"\xD0\xB0\xD0\xB2 \xD0\xB0\xD0\xB2\xD0\xB0\"", 1},
        {u8"ﾎｳﾎｳ: Japanese repeats the pair; a tie", "\"\xCE\xB3\xCE\xB3\"", 0},
        {u8"ﾄﾞ: a sound mark on ﾄ", "\"\xC4\xDE\xC4\xDE\"", -1},
        {u8"өгіз: ﾓｩ, a small ｩ after ﾓ", "\"\xD3\xA9\xD0\xB3\xD1\x96\xD0\xB7\"", 1},
        {u8"nọng: kanji glued to Latin letters", "n\xE1\xBB\x8Dng", 1},
        {u8"日本: lone kana between kanji", "\xE6\x97\xA5\xE6\x9C\xAC", 1},
        {u8"蝸角: rare kanji, then a pair with ASCII second byte", "\"\xE5\x97\x8A\x70\"", -1},
        {u8"纒　: a kanji glued to @", "\xE3\x95\x81\x40", -1},
        {u8"C1 control U+0085", "\xC2\x85", -1},
        {u8"ASCII", "abc", 0},
    };
    for (const auto& row : rows) {
        const int likelihood = Utf8Likelihood(row.bytes.data(), (int)row.bytes.size());
        EXPECT_EQ(row.sign, (likelihood > 0) - (likelihood < 0)) << row.what << ": " << likelihood;
    }
}

}  // namespace

namespace {

// Lists made from Debian's word lists (scripts/make_encoding_corpus.py):
// a few ASCII entries and one or two in another script, in UTF-8 without a
// mark, or in code page 932 for the Japanese ones.
const unsigned char kCorpus[] = {
#include "encoding_corpus.inc"
};

struct Tally {
    std::string script;
    int lists, readAsWritten, inBoth, inBothRead;
};

// Every UTF-8 list that code page 932 cannot read without a stand-in is
// read as UTF-8; of the lists valid in both, at least 99 in 100 of each
// script are read in the encoding they were written in.
TEST(TextEncoding, CorpusListsReadAsWritten)
{
    std::vector<Tally> tallies;
    const char* text = (const char*)kCorpus;
    const size_t size = sizeof kCorpus;
    for (size_t at = 0; at < size && text[at] == '#';) {
        char script[32] = "", written[16] = "";
        int length = 0;
        ASSERT_EQ(3, sscanf(text + at, "#%31s %15s %d", script, written, &length)) << "record at " << at;
        const char* list = (const char*)memchr(text + at, '\n', size - at) + 1;
        ASSERT_LE(list + length, text + size) << script << " record at " << at;
        at = list + length + 1 - text;
        const bool utf8 = strcmp(written, "utf8") == 0;
        const TextFileEncoding read = DetectEncoding(list, length);
        const bool asWritten = read == (utf8 ? kEncodingUtf8 : kEncoding932);
        Utf8Check check;
        StartUtf8Check(&check);
        FeedUtf8Check(&check, list, length);
        const bool in932 = IsText932(list, length);
        if (utf8 && !in932) {
            EXPECT_TRUE(asWritten) << script << ": a UTF-8 list needing stand-ins in 932 read as "
                                   << read << ":\n" << std::string(list, length);
        }
        std::string name = std::string(script) + (utf8 ? "" : " (code page 932)");
        size_t t = 0;
        while (t < tallies.size() && tallies[t].script != name) ++t;
        if (t == tallies.size()) tallies.push_back({name, 0, 0, 0, 0});
        Tally& tally = tallies[t];
        ++tally.lists;
        tally.readAsWritten += asWritten;
        if (IsUtf8Text(&check) && in932) {
            ++tally.inBoth;
            tally.inBothRead += asWritten;
        }
    }
    int lists = 0;
    for (const Tally& tally : tallies) {
        printf("  %-22s read as written %3d of %3d; valid in both %3d of %3d\n", tally.script.c_str(),
               tally.readAsWritten, tally.lists, tally.inBothRead, tally.inBoth);
        EXPECT_GE(tally.inBothRead * 100, tally.inBoth * 99) << tally.script;
        lists += tally.lists;
    }
    EXPECT_GE(lists, 300) << "the corpus was not found whole";
}

}  // namespace
