#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clip_list_model.h"

namespace {

typedef std::vector<std::string> Lines;

struct Read {
    TextFileEncoding encoding;
    Lines lines;
    Lines shown;
    std::string written;  // the lines written back without an edit
};

// Reads the bytes in two pieces split at `cut`, as a read that stops
// anywhere would hand them over.
Read ReadBack(const std::string& bytes, size_t cut = 0)
{
    ClipListModel model;
    StartClipList(&model);
    cut = cut < bytes.size() ? cut : bytes.size();
    for (const std::string& piece : {bytes.substr(0, cut), bytes.substr(cut)}) {
        char* room = ClipListRoom(&model, (int)piece.size());
        EXPECT_NE(nullptr, room);
        if (!piece.empty()) memcpy(room, piece.data(), piece.size());
        CommitClipListBytes(&model, (int)piece.size());
    }
    EXPECT_TRUE(FinishClipList(&model));
    Read read;
    read.encoding = model.encoding;
    ClipFileBytes file;
    StartClipFile(&file, model.encoding);
    for (int i = 0; i < model.count; ++i) {
        const ClipLine& line = model.lines[i];
        read.lines.push_back(std::string(line.bytes, (size_t)line.length));
        int shown = ClipLineShownLength(&line, CodePageOf(model.encoding));
        read.shown.push_back(std::string(line.bytes, (size_t)shown));
        AddClipFileLine(&file, line.bytes, line.length);
    }
    EXPECT_FALSE(file.failed);
    read.written.assign(file.bytes ? file.bytes : "", (size_t)file.size);
    FreeClipFile(&file);
    FreeClipList(&model);
    return read;
}

const std::string kBom = "\xEF\xBB\xBF";
const std::string kLong1500(1500, 'x');
// 1022 bytes of ASCII, then one 4-byte UTF-8 character (a surrogate pair in
// UTF-16) across the 1023-byte cut.
const std::string kEmojiAcrossCut = std::string(1022, 'a') + "\xF0\x9F\x98\x80";
// The same with a double-byte code page 932 character across the cut.
const std::string kKanjiAcrossCut = std::string(1022, 'a') + "\x95\x5C" + "\x80";

TEST(ClipListModel, EveryLineIsAnItemAndWritesBackAsItsBytes)
{
    struct Row {
        const char* what;
        std::string bytes;
        TextFileEncoding encoding;
        Lines lines;
        Lines shown;     // empty: the same as lines
    };
    const Row rows[] = {
        {"CR LF lines", "A\r\nB\r\n", kEncoding932, {"A", "B"}, {}},
        {"last line without CR LF", "A\r\nB", kEncoding932, {"A", "B"}, {}},
        {"empty line", "A\r\n\r\nB\r\n", kEncoding932, {"A", "", "B"}, {}},
        {"lone LF and CR are characters", "A\nB\rC\r\n", kEncoding932, {"A\nB\rC"}, {}},
        {"CR CR LF", "A\r\r\n", kEncoding932, {"A\r"}, {}},
        {"empty file", "", kEncoding932, {}, {}},
        {"zero byte ends the shown text, not the line",
         std::string("A\0B\r\nC\r\nD\r\nE\r\nF\r\n", 17), kEncoding932,
         {std::string("A\0B", 3), "C", "D", "E", "F"}, {"A", "C", "D", "E", "F"}},
        {"long line kept whole, shown cut", kLong1500 + "\r\nB",
         kEncoding932, {kLong1500, "B"}, {kLong1500.substr(0, 1023), "B"}},
        {"mark is no part of the first line", kBom + "A\r\n", kEncodingUtf8Bom, {"A"}, {}},
        {"mark alone", kBom, kEncodingUtf8Bom, {}, {}},
        {"UTF-8 without a mark", "\xE3\x81\xAF\r\nB", kEncodingUtf8,
         {"\xE3\x81\xAF", "B"}, {}},
        {"cut inside a surrogate pair", kEmojiAcrossCut + "\r\n", kEncodingUtf8,
         {kEmojiAcrossCut}, {std::string(1022, 'a')}},
        {"cut inside a double-byte character", kKanjiAcrossCut + "\r\n", kEncoding932,
         {kKanjiAcrossCut}, {std::string(1022, 'a')}},
        {"lone lead byte stays", "ab\x82\r\n", kEncoding932, {"ab\x82"}, {}},
        // Sequences UTF-8 forbids make a code page 932 list.
        {"overlong E0 80", "\xE3\x81\xAF\xE0\x80\x80\r\n", kEncoding932,
         {"\xE3\x81\xAF\xE0\x80\x80"}, {}},
        {"surrogate ED A0", "\xE3\x81\xAF\xED\xA0\x80\r\n", kEncoding932,
         {"\xE3\x81\xAF\xED\xA0\x80"}, {}},
        {"beyond U+10FFFF F4 90", "\xE3\x81\xAF\xF4\x90\x80\x80\r\n", kEncoding932,
         {"\xE3\x81\xAF\xF4\x90\x80\x80"}, {}},
        {"UTF-16 is not read", "\xFF\xFE" "A\0", kEncodingUtf16Bom, {}, {}},
    };
    for (const Row& row : rows) {
        const Lines& shown = row.shown.empty() ? row.lines : row.shown;
        std::string expected = row.bytes;
        if (row.encoding == kEncodingUtf16Bom) expected = "";
        else if (!row.lines.empty() && expected.compare(expected.size() - 2, 2, "\r\n") != 0)
            expected += "\r\n";
        // Whole, and split across two reads at every place near a
        // multi-byte sequence or a CR LF.
        for (size_t cut : {(size_t)0, (size_t)1, (size_t)2, (size_t)4, row.bytes.size() / 2}) {
            Read read = ReadBack(row.bytes, cut);
            EXPECT_EQ(row.encoding, read.encoding) << row.what << ", cut at " << cut;
            EXPECT_EQ(row.lines, read.lines) << row.what << ", cut at " << cut;
            EXPECT_EQ(shown, read.shown) << row.what << ", cut at " << cut;
            EXPECT_EQ(expected, read.written) << row.what << ", cut at " << cut;
        }
    }
}

TEST(ClipListModel, NoTextIn932IsFound)
{
    struct Row { std::string bytes; bool text; };
    const Row rows[] = {
        {"plain", true},
        {"\x82\xA0\xB1\x95\x5C", true},  // あ, half-width ｱ, 表
        {"ab\x82", false},               // lone lead byte
        {"\x80", false},
        {"\xA0", false},
        {"\xFD", false},
        {"\x82\x20", false},             // lead byte, then no trail byte
        {"\xED\x40\xFA\x5C", true},      // duplicate codes are still text
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.text, IsText932(row.bytes.data(), (int)row.bytes.size()))
            << "bytes of length " << row.bytes.size() << " starting " << (unsigned)(unsigned char)row.bytes[0];
    }
}

// A file of 1 GiB holds up to 2^29 lines; on a 32-bit build their table's
// size, 8 bytes each, would wrap to 0. It is refused instead.
TEST(ClipListModel, LineTableSizeNeverWraps)
{
    size_t bytes = 0;
    EXPECT_TRUE(ClipLineTableBytes(1000, &bytes));
    EXPECT_EQ(1000 * sizeof(ClipLine), bytes);
    EXPECT_EQ(sizeof(size_t) > 4, ClipLineTableBytes(1 << 29, &bytes));
    EXPECT_FALSE(ClipLineTableBytes(-1, &bytes));
}

}  // namespace
