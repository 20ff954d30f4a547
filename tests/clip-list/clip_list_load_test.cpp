#include <gtest/gtest.h>

#include "clip_list_file.h"
#include "clip_test_support.h"

namespace {

typedef std::vector<std::string> Items;

// Loads into the combo box and into the list box and checks both.
void ExpectLoad(const std::string& bytes, const Items& expected, const char* what)
{
    ScratchFolder folder{"clip"};
    std::string path = folder.File("ClipData.txt");
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    TestWindow test;
    SendMessageA(test.combo, CB_ADDSTRING, 0, (LPARAM)"old item");
    SetWindowTextA(test.combo, "typed");
    SendMessageA(test.list, LB_ADDSTRING, 0, (LPARAM)"old item");

    ClipListModel comboList, listList;
    StartClipList(&comboList);
    StartClipList(&listList);
    EXPECT_EQ(1, LoadClipList(test.combo, path.c_str(), kComboBox, &comboList)) << what;
    EXPECT_EQ(Show(expected), Show(ComboItems(test.combo))) << what << " (combo box)";
    EXPECT_EQ("", WindowText(test.combo)) << what << ": loading empties the edit field";

    EXPECT_EQ(1, LoadClipList(test.list, path.c_str(), kListBox, &listList)) << what;
    EXPECT_EQ(Show(expected), Show(ListItems(test.list))) << what << " (list box)";
    DestroyWindow(test.window);  // before the lines its items point to
    FreeClipList(&comboList);
    FreeClipList(&listList);
}

TEST(LoadClipList, FileBytesGiveTheirItems)
{
    struct Row { const char* what; std::string bytes; Items items; };
    const Row rows[] = {
        {"two lines", "A\r\nB\r\n", {"A", "B"}},
        {"last line without CR LF", "A\r\nB", {"A", "B"}},
        {"empty line", "A\r\n\r\nB\r\n", {"A", "", "B"}},
        {"lone LF", "A\nB\r\n", {"A\nB"}},
        {"lone CR", "A\rB\r\n", {"A\rB"}},
        {"empty file", "", {}},
        {"300-byte line over three chunks", std::string(300, 'x') + "\r\n", {std::string(300, 'x')}},
        {"CR LF across the first chunk boundary", std::string(126, 'a') + "\r\nb\r\n",
         {std::string(126, 'a'), "b"}},
        {"Japanese", "挨拶/=\"おはよう\"\r\nメモ/f=\"C:\\表.txt\"\r\n",
         {"挨拶/=\"おはよう\"", "メモ/f=\"C:\\表.txt\""}},
        // A lead byte without its trail byte shows as a middle dot of its
        // own; the quote or character after it stays.
        {"lone lead bytes", "\"lone\x81\"\r\nab\x82\r\n\x81 x\r\n",
         {"\"lone・\"", "ab・", "・ x"}},
    };
    for (const Row& row : rows) ExpectLoad(row.bytes, row.items, row.what);
}

TEST(LoadClipList, ZeroByteEndsTheShownTextAndNoMore)
{
    ExpectLoad(std::string("A\0B\r\nC\r\nD\r\nE\r\nF\r\n", 17), {"A", "C", "D", "E", "F"},
               "zero byte in the first line");
}

// Every byte of a list survives a load and a save without an edit, and an
// item picked stands for its line's bytes, whatever the controls' UTF-16 can
// show: duplicate codes, invalid sequences, a lone lead byte (whose item
// must not show bytes of another line), UTF-8 with and without its mark.
TEST(LoadClipList, EveryByteSurvivesALoadAndASave)
{
    struct Row { const char* what; std::string bytes; TextFileEncoding encoding; };
    const std::string notepad = "first\r\n" + std::string(1500, 'x') + "\r\nlast";
    const Row rows[] = {
        {"code page 932 duplicates and invalid bytes",
         "\xED\x40|\xFA\x4A|\x87\x90|\x82\x20x|\x80\xA0\xFD\r\n"
         "Password: hunter2-very-secret\r\nab\x82\r\n\x82\r\n\xE9\r\n",
         kEncoding932},
        {"UTF-8 with a mark", "\xEF\xBB\xBF\xC3\xA9 \xC2\xA9 \xF0\xA0\xAE\xB7 \xF0\x9F\x98\x80\r\n"
         "\xEF\xBB\xBFsecond\r\nbroken \xC3(\r\n", kEncodingUtf8Bom},
        {"UTF-8 without a mark", "\xE3\x81\xAF/=\"\xE3\x81\xAF\"\r\nplain\r\n", kEncodingUtf8},
        {"a 1,500-byte line and a last line without CR LF", notepad, kEncoding932},
        {"a zero byte inside a line", std::string("a\0b\r\nc\r\n", 7), kEncoding932},
        // The loader reads 64 KB at a time: a CR LF split between two reads.
        {"lines over several reads", std::string(65535, 'x') + "\r\n" + std::string(70000, 'y') +
         "\r\nlast", kEncoding932},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScratchFolder folder{"clip"};
        std::string path = folder.File("ClipData.txt");
        ASSERT_TRUE(WriteWholeFile(path, row.bytes));
        TestWindow test;
        ClipListModel comboList, listList;
        StartClipList(&comboList);
        StartClipList(&listList);
        ASSERT_EQ(kLoadDone, LoadClipList(test.combo, path.c_str(), kComboBox, &comboList));
        const TextFileEncoding found = comboList.encoding;
        EXPECT_EQ(row.encoding, found);
        ASSERT_EQ(kLoadDone, LoadClipList(test.list, path.c_str(), kListBox, &listList));
        EXPECT_EQ(listList.size, listList.capacity) << "the bytes are held with room to spare";

        // The items stand for the lines' bytes exactly, as far as a text
        // of the program goes: up to a zero byte, at most 1023 bytes.
        std::string lines = row.bytes.substr(row.encoding == kEncodingUtf8Bom ? 3 : 0);
        for (int i = 0; !lines.empty(); ++i) {
            std::string line = lines.substr(0, lines.find("\r\n"));
            lines.erase(0, line.size() + 2 <= lines.size() ? line.size() + 2 : lines.size());
            line = line.substr(0, line.find('\0')).substr(0, 1023);
            ItemText item;
            ASSERT_TRUE(ReadItemText(test.combo, kComboBox, i, CodePageOf(found), &item));
            EXPECT_EQ(line, std::string(item.Bytes(), item.length)) << "item " << i;
        }
        // The editor's list of the same file, saved unedited.
        ClipEditList edited;
        StartClipEditList(&edited);
        ASSERT_TRUE(OpenClipEditList(&edited, &listList));
        ASSERT_TRUE(WriteWholeFile(path, "other\r\n"));
        EXPECT_EQ(kSaveWritten, SaveClipList(&edited, path.c_str(), kSaveMine));
        FreeClipEditList(&edited);
        std::string expected = row.bytes;
        if (expected.compare(expected.size() - 2, 2, "\r\n") != 0) expected += "\r\n";
        EXPECT_EQ(expected, ReadWholeFile(path)) << "the save changed bytes";
        DestroyWindow(test.window);  // before the lines its items point to
        FreeClipList(&comboList);
        FreeClipList(&listList);
    }
}

TEST(LoadClipList, Utf16ListIsNotReadAndLeavesTheControl)
{
    ScratchFolder folder{"clip"};
    std::string path = folder.File("ClipData.txt");
    ASSERT_TRUE(WriteWholeFile(path, std::string("\xFF\xFE" "A\0\r\0\n\0", 8)));
    TestWindow test;
    SendMessageA(test.list, LB_ADDSTRING, 0, (LPARAM)"old item");
    ClipListModel list;
    StartClipList(&list);
    EXPECT_EQ(kLoadUnsupported, LoadClipList(test.list, path.c_str(), kListBox, &list));
    EXPECT_EQ(0, list.count);
    EXPECT_EQ("[old item]", Show(ListItems(test.list)));
}

TEST(LoadClipList, OverLongLinesAreCutAndTheNextLinesStayWhole)
{
    // 895 bytes is the longest line the file format promises; the window
    // keeps lines whole up to 1023 bytes and the first 1023 bytes of longer
    // ones, cut on a character boundary.
    for (int length : {895, 896, 1023, 1024, 5000}) {
        std::string line;
        for (int i = 0; i < length; ++i) line += (char)('a' + i % 26);
        std::string kept = line.substr(0, (size_t)(length > 1023 ? 1023 : length));
        std::string what = "line of " + std::to_string(length) + " bytes";
        ExpectLoad("first\r\n" + line + "\r\nnext\r\n\r\nlast\r\n",
                   {"first", kept, "next", "", "last"}, what.c_str());
    }
    std::string wide;
    for (int i = 0; i < 2500; ++i) wide += "あ";
    ExpectLoad(wide + "\r\nnext\r\n", {wide.substr(0, 1022), "next"},
               "5000 bytes of double-byte characters");
}

TEST(LoadClipList, FileThatCannotBeOpenedLeavesTheControlAsItWas)
{
    ScratchFolder folder{"clip"};
    std::string held = folder.File("ClipData.txt");
    ASSERT_TRUE(WriteWholeFile(held, "A\r\n"));
    // Held open without sharing, as another program writing it would.
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    CreateDirectoryA(folder.File("folder").c_str(), nullptr);

    struct Row { const char* what; std::string path; };
    const Row rows[] = {
        {"missing file", folder.File("missing.txt")},
        {"missing folder", folder.File("no\\ClipData.txt")},
        {"file held open without sharing", held},
        {"a folder", folder.File("folder")},
    };
    for (const Row& row : rows) {
        TestWindow test;
        SendMessageA(test.combo, CB_ADDSTRING, 0, (LPARAM)"old item");
        SetWindowTextA(test.combo, "typed");
        SendMessageA(test.list, LB_ADDSTRING, 0, (LPARAM)"old item");
        ClipListModel model;
        StartClipList(&model);
        EXPECT_EQ(0, LoadClipList(test.combo, row.path.c_str(), kComboBox, &model)) << row.what;
        EXPECT_EQ("[old item]", Show(ComboItems(test.combo))) << row.what;
        EXPECT_EQ("typed", WindowText(test.combo)) << row.what;
        EXPECT_EQ(0, LoadClipList(test.list, row.path.c_str(), kListBox, &model)) << row.what;
        EXPECT_EQ("[old item]", Show(ListItems(test.list))) << row.what;
        EXPECT_EQ(nullptr, model.bytes) << row.what << ": the model stays as it was";
    }
    CloseHandle(holder);

    // A reader that lets others read (an indexer, a viewer) does not keep
    // the list from loading.
    HANDLE reader = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    {
        TestWindow test;
        ClipListModel model;
        StartClipList(&model);
        EXPECT_EQ(kLoadDone, LoadClipList(test.list, held.c_str(), kListBox, &model));
        EXPECT_EQ("[A]", Show(ListItems(test.list)));
        DestroyWindow(test.window);
        FreeClipList(&model);
    }
    CloseHandle(reader);
}

}  // namespace
