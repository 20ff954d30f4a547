#include <gtest/gtest.h>

#include "clip_list_file.h"
#include "list_file_replace.h"
#include "clip_test_support.h"

namespace {

typedef std::vector<std::string> Items;

// The editor's list made of entries typed in code page 932, saved over
// whatever the path holds.
struct EntryList {
    ClipEditList list;
    explicit EntryList(const Items& items)
    {
        StartClipEditList(&list);
        for (const std::string& item : items) {
            InsertClipEntry(&list, list.count, item.data(), (int)item.size(), kCodePage932);
        }
    }
    ~EntryList() { FreeClipEditList(&list); }
    ClipListSaveResult SaveTo(const std::string& path) const
    {
        return SaveClipList(&list, path.c_str(), kSaveMine);
    }
};

TEST(SaveClipList, WritesTheNonEmptyItemsWithTheirLineEnds)
{
    std::string longItem;
    for (int i = 0; i < 3000; ++i) longItem += (char)('a' + i % 26);
    struct Row { const char* what; Items items; int result; std::string file; };
    const Row rows[] = {
        {"empty items skipped", {"A", "", "B"}, kSaveWritten, "A\r\nB\r\n"},
        {"all items empty", {"", ""}, kSaveWritten, ""},
        {"no items: the old file stays", {}, kSaveNothing, "old\r\n"},
        {"an item of any length, whole", {longItem, "x"}, kSaveWritten, longItem + "\r\nx\r\n"},
        {"Japanese", {"挨拶/=\"おはよう表\""}, kSaveWritten, "挨拶/=\"おはよう表\"\r\n"},
    };
    for (const Row& row : rows) {
        ScratchFolder folder{"clip"};
        std::string path = folder.File("ClipData.txt");
        ASSERT_TRUE(WriteWholeFile(path, "old\r\n"));
        EntryList test{row.items};
        EXPECT_EQ(row.result, test.SaveTo(path)) << row.what;
        EXPECT_EQ(row.file, ReadWholeFile(path)) << row.what;
        EXPECT_EQ("[ClipData.txt]", FolderNames(folder.path)) << row.what << ": only the list is left";
    }
}

TEST(SaveClipList, MakesTheFileWhenThereIsNone)
{
    // A name ending in 表, whose second byte is a backslash: the file goes
    // into the folder, not into a folder named after the first byte.
    ScratchFolder folder{"clip"};
    std::string path = Utf8(folder.File("一覧表"));
    EntryList test{{"A"}};
    EXPECT_EQ(kSaveWritten, test.SaveTo(path));
    EXPECT_EQ("A\r\n", ReadWholeFile(folder.File("一覧表")));
    DWORD attributes = GetFileAttributesW(Wide(folder.File("一覧表")).c_str());
    EXPECT_EQ(0u, attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_DIRECTORY))
        << "a plain file, attributes 0x" << std::hex << attributes;
}

// A list that is a symbolic link: the file it points to gets the list and
// the link stays; a hidden list stays hidden. Wine's own link call makes
// nothing, so there linked_list_test.sh makes the link on the Unix side and
// names it in QUILLAN_LINKED_LIST (pointing to real\list.txt beside it).
TEST(SaveClipList, ReplacesWhatALinkPointsToAndKeepsAttributes)
{
    ScratchFolder folder{"clip"};
    char given[MAX_PATH] = "";
    std::string path = folder.File("ClipData.txt");
    std::string real = folder.File("real\\list.txt");
    if (GetEnvironmentVariableA("QUILLAN_LINKED_LIST", given, MAX_PATH) > 0) {
        path = given;
        real = path.substr(0, path.rfind('\\')) + "\\real\\list.txt";
    } else {
        ASSERT_TRUE(CreateDirectoryA(folder.File("real").c_str(), nullptr));
        ASSERT_TRUE(WriteWholeFile(real, "old\r\n"));
        const DWORD unprivileged = 2;  // allowed in developer mode
        CreateSymbolicLinkW(Wide(path).c_str(), Wide(real).c_str(), unprivileged);
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "no symbolic link could be made here; linked_list_test.sh makes one";
        }
    }
    EntryList test{{"new"}};
    EXPECT_EQ(kSaveWritten, test.SaveTo(path));
    EXPECT_EQ("new\r\n", ReadWholeFile(real)) << "the file the link points to";
    EXPECT_EQ("[list.txt]", FolderNames(real.substr(0, real.rfind('\\')))) << "a file was left";
    EXPECT_NE(std::string::npos, FolderNames(path.substr(0, path.rfind('\\'))).find("[ClipData.txt]"));

    std::string hidden = folder.File("hidden.txt");
    ASSERT_TRUE(WriteWholeFile(hidden, "old\r\n"));
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(kSaveWritten, test.SaveTo(hidden));
    EXPECT_EQ("new\r\n", ReadWholeFile(hidden));
    EXPECT_TRUE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN) << "no longer hidden";
    EXPECT_TRUE(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_ARCHIVE)
        << "a changed list has its archive bit, as after any write";
}

TEST(SaveClipList, FailureLeavesWhatWasThereByteForByte)
{
    const std::string old = "keep\r\n\x82\xa0\r\n";
    enum Setup { kReadOnly, kHeldOpen, kFolder, kMissingFolder };
    struct Row { const char* what; Setup setup; };
    const Row rows[] = {
        {"read-only ClipData.txt", kReadOnly},
        {"ClipData.txt held open without sharing", kHeldOpen},
        {"a folder named ClipData.txt", kFolder},
        {"the folder does not exist", kMissingFolder},
    };
    for (const Row& row : rows) {
        ScratchFolder folder{"clip"};
        std::string path = folder.File("ClipData.txt");
        HANDLE holder = INVALID_HANDLE_VALUE;
        switch (row.setup) {
        case kReadOnly:
            ASSERT_TRUE(WriteWholeFile(path, old));
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
            break;
        case kHeldOpen:
            ASSERT_TRUE(WriteWholeFile(path, old));
            holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, holder);
            break;
        case kFolder:
            CreateDirectoryA(path.c_str(), nullptr);
            ASSERT_TRUE(WriteWholeFile(path + "\\inside.txt", old));
            break;
        case kMissingFolder:
            path = folder.File("missing\\ClipData.txt");
            break;
        }

        EntryList test{{"new", "", "list"}};
        EXPECT_EQ(kSaveFailed, test.SaveTo(path)) << row.what;
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);

        switch (row.setup) {
        case kReadOnly:
        case kHeldOpen:
            EXPECT_EQ(old, ReadWholeFile(path)) << row.what;
            EXPECT_EQ("[ClipData.txt]", FolderNames(folder.path)) << row.what << ": no temporary file left";
            break;
        case kFolder:
            EXPECT_EQ(old, ReadWholeFile(path + "\\inside.txt")) << row.what;
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
            EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) << row.what;
            EXPECT_EQ("[ClipData.txt]", FolderNames(folder.path)) << row.what << ": no temporary file left";
            break;
        case kMissingFolder:
            EXPECT_EQ("", FolderNames(folder.path)) << row.what;
            break;
        }
    }
}

// Another program (a scanner, an indexer) opens the freshly written list
// without letting it be renamed, just as it is to take the old one's place:
// the old list stays whole under its name (or the new one is there), never
// neither, and a copy is deleted only once the list is in place.
TEST(SaveClipList, HeldNewListNeverLosesBothCopies)
{
    struct Row { const char* what; DWORD share; bool placed; };
    const Row rows[] = {
        {"held, rename refused", FILE_SHARE_READ | FILE_SHARE_WRITE, false},
        {"held, rename allowed", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScratchFolder folder{"clip"};
        const std::string list = folder.File("ClipData.txt");
        const std::string fresh = folder.File("clp1.tmp");
        ASSERT_TRUE(WriteWholeFile(list, "old\r\n"));
        ASSERT_TRUE(WriteWholeFile(fresh, "new\r\n"));
        HANDLE holder = CreateFileA(fresh.c_str(), GENERIC_READ, row.share, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, holder);
        bool placed = PutListFileInPlace(Wide(fresh).c_str(), Wide(list).c_str(),
                                         Wide(folder.File("clb1.tmp")).c_str()) == kReplaceDone;
        CloseHandle(holder);
        EXPECT_EQ(row.placed, placed);
        EXPECT_EQ(placed ? "new\r\n" : "old\r\n", ReadWholeFile(list));
        // Nothing but the list and, where it could not go, the held copy.
        std::string names = FolderNames(folder.path);
        EXPECT_TRUE(names == "[ClipData.txt]" || (!placed && names == "[ClipData.txt][clp1.tmp]"))
            << names;
    }
}

// A code page 932 list moves to UTF-8 only with lines that are text which
// maps both ways exactly: bytes of the shape of a character that stand for
// none would become a middle dot.
TEST(SaveClipList, OnlyExactTextMovesToUtf8)
{
    struct Row { const char* what; std::string bytes; bool converts; std::string utf8; };
    const Row rows[] = {
        {"hiragana", "\x82\xA0", true, "\xE3\x81\x82"},
        {"half-width katakana", "\xCA\xB2", true, "\xEF\xBE\x8A\xEF\xBD\xB2"},
        {"a zero byte", std::string("a\0b", 3), true, std::string("a\0b", 3)},
        {"unassigned 85 40", "\x85\x40", false, ""},
        {"unassigned EB 40", "\xEB\x40", false, ""},
        {"unassigned EF 9F", "\xEF\x9F", false, ""},
        {"unassigned 86 9F", "\x86\x9F", false, ""},
    };
    for (const Row& row : rows) {
        char* out = nullptr;
        int length = 0;
        const bool converted = kSystemCodec.convert(row.bytes.data(), (int)row.bytes.size(),
                                                    kCodePage932, kCodePageUtf8, &out, &length);
        const std::string got = out ? std::string(out, (size_t)length) : "<none>";
        EXPECT_EQ(row.converts, converted) << row.what << ": converted to " << got;
        if (row.converts) {
            EXPECT_EQ(row.utf8, got) << row.what;
        }
        free(out);
    }
}

// An indexer, a scanner or a sync client reads the list sharing everything:
// the save replaces it all the same, the reader keeps reading the old file,
// and once it lets go nothing but the list is left.
TEST(SaveClipList, ReaderSharingEverythingDoesNotKeepTheSaveOut)
{
    ScratchFolder folder{"clip"};
    std::string path = folder.File("ClipData.txt");
    ASSERT_TRUE(WriteWholeFile(path, "old\r\n"));
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    EntryList test{{"new"}};
    WCHAR left[MAX_PATH] = L"unchanged";
    EXPECT_EQ(kSaveWritten, SaveClipList(&test.list, path.c_str(), kSaveMine, left));
    EXPECT_EQ(std::wstring(L""), left) << "no copy was left";
    EXPECT_EQ("new\r\n", ReadWholeFile(path));
    char old[16] = "";
    DWORD got = 0;
    ReadFile(reader, old, sizeof old, &got, nullptr);
    EXPECT_EQ("old\r\n", std::string(old, got)) << "the reader reads the file it opened";
    CloseHandle(reader);
    EXPECT_EQ("[ClipData.txt]", FolderNames(folder.path));
}

// The replacement stops half way: the old list is moved aside, but the new
// one cannot be moved in (here it lies on another file system, which no
// rename crosses). The old list is back under its name before the failure
// is given, and no copy is left. Under Wine Z: is the Unix root and
// /dev/shm a file system of its own; elsewhere there is no such place.
TEST(SaveClipList, HalfWayFailurePutsTheOldListBackUnderItsName)
{
    const std::string elsewhere = "Z:\\dev\\shm";
    const DWORD attributes = GetFileAttributesA(elsewhere.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        GTEST_SKIP() << "no second file system at " << elsewhere;
    }
    ScratchFolder folder{"clip"};
    const std::string list = folder.File("ClipData.txt");
    const std::string fresh =
        elsewhere + "\\quillan-clp-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    ASSERT_TRUE(WriteWholeFile(list, "old\r\n"));
    ASSERT_TRUE(WriteWholeFile(fresh, "new\r\n"));
    // Only where a rename cannot cross does the replacement stop half way.
    const std::string probe = folder.File("probe");
    if (MoveFileExA(fresh.c_str(), probe.c_str(), 0)) {
        MoveFileExA(probe.c_str(), fresh.c_str(), 0);
        DeleteFileA(fresh.c_str());
        GTEST_SKIP() << elsewhere << " is on the same file system";
    }
    EXPECT_EQ(kReplaceFailed, PutListFileInPlace(Wide(fresh).c_str(), Wide(list).c_str(),
                                                 Wide(folder.File("clb1.tmp")).c_str()));
    EXPECT_EQ("old\r\n", ReadWholeFile(list)) << "the old list is under its name";
    EXPECT_EQ("[ClipData.txt]", FolderNames(folder.path)) << "a copy was left";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fresh.c_str())) << "the new copy was left";
    DeleteFileA(fresh.c_str());
}

}  // namespace
