// The process-wide split store: pieces, joins, the handle cycle and paths
// beyond the limits.
#include "Morvask.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Item `item` of the latest split, or "<-1>" when it is refused.
std::string Item(int handle, int item)
{
    char out[260];
    if (MRVK0_GetSplitItem(handle, item, out) != 0) return "<-1>";
    return out;
}

struct SplitCase {
    const char* path;
    const char* items[7];
};

// Items 0 to 6 for each path. Texts with Japanese are code page 932 bytes:
// 表 is 0x95 0x5C, its trail byte the code of a backslash.
const SplitCase kCases[] = {
    {"C:\\Tools\\Sample.exe",
     {"C:\\Tools\\Sample.exe", "C:", "\\Tools", "Sample", "exe", "C:\\Tools", "Sample.exe"}},
    {"\\\\server\\share\\docs\\memo.txt",
     {"\\\\server\\share\\docs\\memo.txt", "\\\\server", "\\share\\docs", "memo", "txt",
      "\\\\server\\share\\docs", "memo.txt"}},
    {"\\\\server", {"\\\\server", "\\\\server", "", "", "", "\\\\server", ""}},
    {"C:\\Sample.exe", {"C:\\Sample.exe", "C:", "\\", "Sample", "exe", "C:", "Sample.exe"}},
    {"notes.", {"notes.", "", "", "notes", "", "", "notes."}},
    {"readme", {"readme", "", "", "readme", "", "", "readme"}},
    {"", {"", "", "", "", "", "", ""}},
    // Two backslashes alone are no UNC path.
    {"\\\\", {"\\\\", "", "\\", "", "", "\\", ""}},
    // A final '/' is kept; only a backslash is removed.
    {"C:/dir/sub/", {"C:/dir/sub/", "C:", "/dir/sub/", "", "", "C:/dir/sub/", ""}},
    {"a.b.c", {"a.b.c", "", "", "a.b", "c", "", "a.b.c"}},
    {"C:\\dir.d\\name", {"C:\\dir.d\\name", "C:", "\\dir.d", "name", "", "C:\\dir.d", "name"}},
    {"C:relative.txt", {"C:relative.txt", "C:", "", "relative", "txt", "C:", "relative.txt"}},
    // The standard split takes a trail byte 0x5C as part of its character.
    {"C:\\表\\表.txt", {"C:\\表\\表.txt", "C:", "\\表", "表", "txt", "C:\\表", "表.txt"}},
    // The UNC server scan is byte-wise: it stops at 表's trail byte, and the
    // rest starts with two backslashes.
    {"\\\\a表\\x.txt",
     {"\\\\a表\\x.txt", "\\\\a\x95", "\\", "x", "txt", "\\\\a\x95\\", "x.txt"}},
};

TEST(MorvaskSplit, ItemsOfEachExamplePath)
{
    for (const SplitCase& c : kCases) {
        int handle = MRVK0_SplitPath(c.path);
        for (int item = 0; item <= 6; ++item)
            EXPECT_EQ(c.items[item], Item(handle, item)) << "item " << item << " of \"" << c.path << "\"";
    }
}

TEST(MorvaskSplit, OnlyTheLatestHandleAndItemsZeroToSixAreAccepted)
{
    int first = MRVK0_SplitPath("C:\\one\\first.txt");
    int second = MRVK0_SplitPath("D:\\two\\second.txt");
    EXPECT_NE(first, second);

    char out[260];
    for (const auto& refused : {std::make_pair(first, 0), std::make_pair(first, 6),
                                std::make_pair(second, 7), std::make_pair(second, -1),
                                std::make_pair(second + 1, 0)}) {
        memset(out, 'Z', sizeof out);
        EXPECT_EQ(-1, MRVK0_GetSplitItem(refused.first, refused.second, out))
            << "handle " << refused.first << ", item " << refused.second;
        EXPECT_EQ('Z', out[0]) << "out was written for a refused item";
    }
    EXPECT_EQ("second.txt", Item(second, 6));
    // Retrieval leaves the store alone: the same handle keeps working.
    EXPECT_EQ("D:\\two", Item(second, 5));
}

TEST(MorvaskSplit, HandlesRunToTenThousandThenZeroThenOne)
{
    int handle = MRVK0_SplitPath("x");
    for (int n = 0; handle != 10000 && n <= 10001; ++n) handle = MRVK0_SplitPath("x");
    ASSERT_EQ(10000, handle);

    EXPECT_EQ(0, MRVK0_SplitPath("C:\\wrap\\zero.txt"));
    EXPECT_EQ("zero.txt", Item(0, 6)) << "handle 0 is the latest and must be accepted";
    EXPECT_EQ("<-1>", Item(10000, 6));
    EXPECT_EQ(1, MRVK0_SplitPath("C:\\wrap\\one.txt"));
    EXPECT_EQ("<-1>", Item(0, 6));
}

TEST(MorvaskSplit, AFreshlyLoadedLibraryAcceptsHandleZeroWithEmptyItems)
{
    // A copy under another name loads as a module of its own, with its
    // store as it is at load.
    ScratchFolder folder("morvask");
    std::string copy = folder.File("MorvaskFresh.dll");
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\Morvask.dll").c_str(), copy.c_str(), FALSE));
    HMODULE fresh = LoadLibraryA(copy.c_str());
    ASSERT_NE(fresh, (HMODULE)NULL);
    typedef int(WINAPI * SplitPath)(const char*);
    typedef int(WINAPI * GetSplitItem)(int, int, char*);
    SplitPath split = (SplitPath)(void*)GetProcAddress(fresh, "MRVK0_SplitPath");
    GetSplitItem item = (GetSplitItem)(void*)GetProcAddress(fresh, "MRVK0_GetSplitItem");

    char out[260];
    for (int n = 0; n <= 6; ++n) {
        memset(out, 'Z', sizeof out);
        EXPECT_EQ(0, item(0, n, out)) << "item " << n;
        EXPECT_STREQ("", out) << "item " << n;
    }
    EXPECT_EQ(1, split("C:\\a.txt"));
    FreeLibrary(fresh);
}

// Every item of a split must fit 260 bytes with its terminator, whatever the
// path, and must not end between a lead byte and its trail byte.
void ExpectItemsFit(const std::string& path)
{
    int handle = MRVK0_SplitPath(path.c_str());
    for (int item = 0; item <= 6; ++item) {
        char out[260 + 64];
        memset(out, 'Z', sizeof out);
        ASSERT_EQ(0, MRVK0_GetSplitItem(handle, item, out));
        size_t length = strnlen(out, sizeof out);
        EXPECT_LT(length, 260u) << "item " << item << " of a " << path.size() << "-byte path";
        EXPECT_EQ('Z', out[260]) << "item " << item << " wrote past 260 bytes";
        bool endsInLeadByte = false;
        for (size_t i = 0; i < length; ++i) {
            endsInLeadByte = (i + 1 == length) && IsDBCSLeadByte((BYTE)out[i]);
            if (IsDBCSLeadByte((BYTE)out[i])) ++i;
        }
        EXPECT_FALSE(endsInLeadByte) << "item " << item << " ends in a lead byte";
    }
}

TEST(MorvaskSplit, PathsBeyondTheLimitsAreCutToFit)
{
    ExpectItemsFit("C:\\" + std::string(400, 'a'));
    ExpectItemsFit("C:\\" + std::string(300, 'd') + "\\name.txt");
    ExpectItemsFit("C:\\dir\\" + std::string(250, 'n') + "." + std::string(250, 'e'));
    ExpectItemsFit("\\\\" + std::string(200, 's') + "\\share\\" + std::string(60, 'n') + ".txt");
    ExpectItemsFit("\\\\" + std::string(300, 's'));
    std::string japanese = "C:\\x";
    for (int i = 0; i < 200; ++i) japanese += "あ";
    ExpectItemsFit(japanese);

    // The path is kept to its first 259 bytes, cut on a character boundary:
    // "C:\x" and 127 two-byte characters.
    MRVK0_SplitPath(japanese.c_str());
    int handle = MRVK0_SplitPath(japanese.c_str());
    EXPECT_EQ(japanese.substr(0, 4 + 127 * 2), Item(handle, 0));
}

}  // namespace
