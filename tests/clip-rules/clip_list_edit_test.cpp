#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "clip_list_edit.h"

namespace {

typedef std::vector<std::string> Items;

// A literal's bytes, zero bytes included.
template <size_t N>
std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}
typedef std::function<bool(ClipEditList*)> Edit;

}  // namespace

// A table codec: ASCII, and a few known code page 932 texts with their
// UTF-8 forms (あ 82 A0 = E3 81 82, い 82 A2 = E3 81 84, and 縺薙ｓ縺ｫ縺｡縺ｯ,
// whose code page 932 bytes are the UTF-8 of こんにちは). Anything else is
// refused, as the system's exact conversion refuses what has no character.
// The save's tests (list_save_test.cpp) use it too.
static bool TableConvert(const char* bytes, int length, int from, int to, char** out,
                         int* outLength)
{
    static const char* const kPairs[][2] = {
        {"\x82\xA0", "\xE3\x81\x82"},
        {"\x82\xA2", "\xE3\x81\x84"},
        {"\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF",
         "\xE7\xB8\xBA\xE8\x96\x99\xEF\xBD\x93\xE7\xB8\xBA\xEF\xBD\xAB\xE7\xB8\xBA\xEF\xBD\xA1"
         "\xE7\xB8\xBA\xEF\xBD\xAF"}};
    const int side = from == kCodePage932 ? 0 : 1;
    if (from == to || (to != kCodePage932 && to != kCodePageUtf8)) return false;
    std::string result;
    for (int at = 0; at < length;) {
        if ((unsigned char)bytes[at] < 0x80) {
            result.push_back(bytes[at++]);
            continue;
        }
        bool known = false;
        for (const auto& pair : kPairs) {
            const size_t size = strlen(pair[side]);
            if ((size_t)(length - at) >= size && memcmp(bytes + at, pair[side], size) == 0) {
                result += pair[1 - side];
                at += (int)size;
                known = true;
                break;
            }
        }
        if (!known) return false;
    }
    *out = (char*)malloc(result.size() + 1);
    memcpy(*out, result.c_str(), result.size() + 1);
    *outLength = (int)result.size();
    return true;
}
extern const ClipCodec kTableCodec = {TableConvert};

namespace {

struct EditList {
    ClipEditList list;
    explicit EditList(const std::string& file)
    {
        ClipListModel model;
        EXPECT_TRUE(ReadClipList(&model, file.data(), (int)file.size()));
        StartClipEditList(&list);
        EXPECT_TRUE(OpenClipEditList(&list, &model));
    }
    ~EditList() { FreeClipEditList(&list); }
};

Items ItemsOf(const ClipEditList* list)
{
    Items items;
    for (int i = 0; i < list->count; ++i) {
        int length = 0, codePage = 0;
        const char* bytes = ClipItemBytes(list, i, &length, &codePage);
        items.push_back(std::string(bytes, (size_t)length));
    }
    return items;
}

// Entries are given from a scratch buffer that is spoilt afterwards: the
// list must hold its own copy.
Edit Insert(int at, const std::string& text, int codePage = kCodePage932)
{
    return [=](ClipEditList* list) {
        std::string scratch = text;
        bool done = InsertClipEntry(list, at, &scratch[0], (int)scratch.size(), codePage);
        scratch.assign(scratch.size(), '#');
        return done;
    };
}
Edit Overwrite(int at, const std::string& text)
{
    return [=](ClipEditList* list) {
        std::string scratch = text;
        bool done = OverwriteClipEntry(list, at, &scratch[0], (int)scratch.size(), kCodePage932);
        scratch.assign(scratch.size(), '#');
        return done;
    };
}
Edit Delete(int at) { return [=](ClipEditList* list) { return DeleteClipItem(list, at); }; }
Edit MoveUp(int at) { return [=](ClipEditList* list) { return MoveClipItemUp(list, at); }; }
Edit MoveDown(int at) { return [=](ClipEditList* list) { return MoveClipItemUp(list, at + 1); }; }

struct Saved {
    ClipFileBuild result;
    std::string bytes;
    bool noBytes;  // nothing handed back
};

// BuildClipFile's bytes; the table of lines from BuildClipFileLines must
// point at each written item's bytes in the same file.
Saved Save(const ClipEditList* list, const ClipCodec* codec = &kTableCodec)
{
    ClipFileBytes file;
    Saved saved;
    saved.result = BuildClipFile(list, codec, &file);
    saved.noBytes = file.bytes == nullptr && file.size == 0;
    saved.bytes.assign(file.bytes ? file.bytes : "", (size_t)file.size);
    FreeClipFile(&file);

    ClipFileLine* lines = nullptr;
    int count = 0;
    EXPECT_EQ(saved.result, BuildClipFileLines(list, codec, &file, &lines, &count));
    if (saved.result == kBuildDone) {
        EXPECT_EQ(saved.bytes, std::string(file.bytes ? file.bytes : "", (size_t)file.size));
        int at = 0;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ("\r\n", saved.bytes.substr((size_t)(lines[i].offset + lines[i].length), 2))
                << "line " << i << " of the table does not end at its CR LF";
            EXPECT_GE(lines[i].offset, at) << "line " << i << " of the table overlaps the one before";
            at = lines[i].offset + lines[i].length + 2;
        }
        EXPECT_EQ((int)saved.bytes.size(), at) << "the table does not cover the file";
    } else {
        EXPECT_EQ(nullptr, lines);
        EXPECT_EQ(nullptr, file.bytes);
    }
    free(lines);
    FreeClipFile(&file);
    return saved;
}

TEST(ClipEdit, EditsChangeTheirItemsAndRefusalsChangeNothing)
{
    const Items abc = {"A", "B", "C"};
    struct Row {
        const char* what;
        std::string file;
        Edit edit;
        bool done;
        Items items;  // after the edit; a refused edit leaves the list as read
    };
    const Row rows[] = {
        {"insert first", "A\r\nB\r\nC", Insert(0, "x"), true, {"x", "A", "B", "C"}},
        {"insert between", "A\r\nB\r\nC", Insert(2, "x"), true, {"A", "B", "x", "C"}},
        {"insert at count appends", "A\r\nB\r\nC", Insert(3, "x"), true, {"A", "B", "C", "x"}},
        {"add to an empty list", "", Insert(0, "x"), true, {"x"}},
        {"overwrite", "A\r\nB\r\nC", Overwrite(1, "x"), true, {"A", "x", "C"}},
        {"delete last", "A\r\nB\r\nC", Delete(2), true, {"A", "B"}},
        {"move up", "A\r\nB\r\nC", MoveUp(2), true, {"A", "C", "B"}},
        {"move down", "A\r\nB\r\nC", MoveDown(0), true, {"B", "A", "C"}},
        {"insert before the start", "A\r\nB\r\nC", Insert(-1, "x"), false, abc},
        {"insert past count", "A\r\nB\r\nC", Insert(4, "x"), false, abc},
        {"overwrite at count", "A\r\nB\r\nC", Overwrite(3, "x"), false, abc},
        {"overwrite before the start", "A\r\nB\r\nC", Overwrite(-1, "x"), false, abc},
        {"delete at count", "A\r\nB\r\nC", Delete(3), false, abc},
        {"delete before the start", "A\r\nB\r\nC", Delete(-1), false, abc},
        {"move up the first", "A\r\nB\r\nC", MoveUp(0), false, abc},
        {"move up past the end", "A\r\nB\r\nC", MoveUp(3), false, abc},
        {"move down the last", "A\r\nB\r\nC", MoveDown(2), false, abc},
        {"delete in an empty list", "", Delete(0), false, {}},
        {"overwrite in an empty list", "", Overwrite(0, "x"), false, {}},
    };
    for (const Row& row : rows) {
        EditList edited(row.file);
        EXPECT_EQ(row.done, row.edit(&edited.list)) << row.what;
        EXPECT_EQ(row.items, ItemsOf(&edited.list)) << row.what;
    }
}

TEST(ClipEdit, SaveKeepsUneditedLinesExactlyAndWritesEntries)
{
    const std::string mark = "\xEF\xBB\xBF";
    const Edit none = [](ClipEditList*) { return true; };
    struct Row {
        const char* what;
        std::string file;
        Edit edit;
        ClipFileBuild result;
        std::string bytes;  // written; none unless kBuildDone
    };
    const Row rows[] = {
        {"zero byte, bytes of no character, lone lead byte, last line gains CR LF",
         Bytes("A\0B\r\n\x80\xA0\xFD\r\nab\x82\r\nC"), none, kBuildDone,
         Bytes("A\0B\r\n\x80\xA0\xFD\r\nab\x82\r\nC\r\n")},
        {"mark kept, the other lines untouched", mark + "A\r\n\xE3\x81\x82\r\n",
         Overwrite(0, "x"), kBuildDone, mark + "x\r\n\xE3\x81\x82\r\n"},
        {"moved lines keep their bytes", "\x85\x40\r\nB\r\n", MoveDown(0), kBuildDone,
         "B\r\n\x85\x40\r\n"},
        {"empty entry is not written", "A\r\n", Insert(0, ""), kBuildDone, "A\r\n"},
        {"emptied list", "A\r\n", Delete(0), kBuildEmpty, ""},
        {"UTF-8 entry in a code page 932 list", "A\r\n",
         Insert(1, "\xE3\x81\x82", kCodePageUtf8), kBuildNeedsUtf8, ""},
        {"UTF-16 file, entry added", Bytes("\xFF\xFE" "A\0"), Insert(0, "x"),
         kBuildFailed, ""},
        {"big-endian UTF-16 file, entry added", Bytes("\xFE\xFF\0A"), Insert(0, "x"),
         kBuildFailed, ""},
        {"UTF-16 file as read", Bytes("\xFF\xFE" "A\0"), none, kBuildEmpty, ""},
    };
    for (const Row& row : rows) {
        EditList edited(row.file);
        EXPECT_TRUE(row.edit(&edited.list)) << row.what;
        const Saved saved = Save(&edited.list);
        EXPECT_EQ(row.result, saved.result) << row.what;
        EXPECT_EQ(row.bytes, saved.bytes) << row.what;
        if (row.result != kBuildDone) {
            EXPECT_TRUE(saved.noBytes) << row.what << ": bytes handed back with the failure";
        }
    }
}

TEST(ClipEdit, Utf8BlockersAreCountedWithTheFirst)
{
    const std::string a = "\x82\xA0";  // あ: 2 bytes here, 3 in UTF-8
    std::string a500, a341, a342, a600;
    for (int i = 0; i < 600; ++i) {
        if (i < 341) a341 += a;
        if (i < 342) a342 += a;
        if (i < 500) a500 += a;
        a600 += a;
    }
    const Edit none = [](ClipEditList*) { return true; };
    struct Row {
        const char* what;
        std::string file;
        Edit edit;
        int noText, tooLong, first;
    };
    const Row rows[] = {
        {"all convert", "ok\r\n" + a + "\x82\xA2\r\n", none, 0, 0, -1},
        {"80", "ok\r\n\x80\r\n", none, 1, 0, 1},
        {"A0", "ok\r\n\xA0\r\n", none, 1, 0, 1},
        {"FD", "ok\r\n\xFD\r\n", none, 1, 0, 1},
        {"FF", "ok\r\nx\xFF\r\n", none, 1, 0, 1},
        {"lone lead byte", "ok\r\nab\x82\r\n", none, 1, 0, 1},
        {"pair the codec refuses", "ok\r\n\x85\x40\r\n", none, 1, 0, 1},
        {"each counted, the first named", "ok\r\n\x80\r\nok\r\n\x85\x40\r\n", none, 2, 0, 1},
        {"1000 bytes become 1500", a500 + "\r\n", none, 0, 1, 0},
        {"682 bytes become 1023", a341 + "\r\n", none, 0, 0, -1},
        {"684 bytes become 1026", a342 + "\r\n", none, 0, 1, 0},
        {"shown cut already", a600 + "\r\n", none, 0, 0, -1},
        {"first of either kind", "ok\r\n" + a500 + "\r\n\x80", none, 1, 1, 1},
        {"edited lines never block", "\x80\r\n" + a500 + "\r\nok",
         [](ClipEditList* list) { return Overwrite(0, "x")(list) && Overwrite(1, "y")(list); },
         0, 0, -1},
        {"index is the item's, after a move", "ok\r\nok\r\n\x80", MoveUp(2), 1, 0, 1},
        {"a UTF-8 list has nothing to move", "\xE3\x81\x82\r\n", none, 0, 0, -1},
    };
    for (const Row& row : rows) {
        EditList edited(row.file);
        EXPECT_TRUE(row.edit(&edited.list)) << row.what;
        const Utf8Blockers found = FindUtf8Blockers(&edited.list, &kTableCodec);
        EXPECT_EQ(row.noText, found.noText) << row.what << ": lines of no text";
        EXPECT_EQ(row.tooLong, found.tooLong) << row.what << ": lines too long";
        EXPECT_EQ(row.first, found.first) << row.what << ": first blocker";
    }
}

TEST(ClipEdit, MovedToUtf8TheLinesAreConverted)
{
    struct Row {
        const char* what;
        std::string file;
        TextFileEncoding encoding;
        ClipFileBuild result;
        std::string bytes;
    };
    const Row rows[] = {
        {"without a mark", "A\r\n\x82\xA0\x82\xA2", kEncodingUtf8, kBuildDone,
         "A\r\n\xE3\x81\x82\xE3\x81\x84\r\n\xE3\x81\x82\r\n\xE3\x81\x84\r\n"},
        {"with a mark", "A", kEncodingUtf8Bom, kBuildDone,
         "\xEF\xBB\xBF" "A\r\n\xE3\x81\x82\r\n\xE3\x81\x84\r\n"},
        {"a line the codec refuses", "\x85\x40", kEncodingUtf8, kBuildFailed, ""},
    };
    for (const Row& row : rows) {
        EditList edited(row.file);
        // One entry typed in code page 932, one in UTF-8.
        EXPECT_TRUE(Insert(edited.list.count, "\x82\xA0")(&edited.list)) << row.what;
        EXPECT_TRUE(Insert(edited.list.count, "\xE3\x81\x84", kCodePageUtf8)(&edited.list));
        edited.list.encoding = row.encoding;
        const Saved saved = Save(&edited.list);
        EXPECT_EQ(row.result, saved.result) << row.what;
        EXPECT_EQ(row.bytes, saved.bytes) << row.what;
    }
}

}  // namespace
