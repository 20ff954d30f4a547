#include <gtest/gtest.h>

#include "app_state.h"
#include "copy_command.h"
#include "clip_list_file.h"
#include "clip_test_support.h"
#include "messages.h"

namespace {

const char kSentinel[] = "before the copy";
const std::string kUnchanged = std::string(kSentinel) + '\0';

std::string Nul(const std::string& text)
{
    return text + '\0';
}

// One copy as the user makes it: the entry typed into the edit field, the
// command run, message boxes answered.
struct CopyResult {
    std::string clipboard;             // the CF_TEXT block, whole
    std::vector<AnsweredBox> boxes;    // each message box answered
    int closePosted;                   // WM_CLOSE waiting for the dialog
};

CopyResult Copy(const TestWindow& test, const std::string& entry, DWORD holdClipboardMs = 0)
{
    EXPECT_TRUE(PutOnClipboard(kSentinel));
    SetWindowTextA(test.combo, entry.c_str());
    CopyResult result;
    BoxAnswerer answerer = {};
    StartBoxAnswerer(&answerer, GetCurrentProcessId());
    if (holdClipboardMs > 0) {
        ClipboardHolder holder(holdClipboardMs);
        CopyClipText(test.window);
    } else {
        CopyClipText(test.window);
    }
    result.boxes = StopBoxAnswerer(&answerer);
    result.clipboard = ClipboardBlock();
    MSG msg;
    result.closePosted = PeekMessageA(&msg, test.window, WM_CLOSE, WM_CLOSE, PM_REMOVE);
    return result;
}

class CopyClipTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_AutoExit = 0;
        // The command line's text, which no copy may touch.
        strcpy(m_ClipText, "from the command line");
        strcpy(m_ExeDir, folder.path.c_str());
    }
    void TearDown() override
    {
        EXPECT_STREQ("from the command line", m_ClipText) << "a copy changed the command line's text";
        m_AutoExit = 0;
        m_ClipText[0] = '\0';
        m_ExeDir[0] = '\0';
    }
    ScratchFolder folder{"clip"};
    TestWindow test;
};

TEST_F(CopyClipTextTest, EachEntryFormCopiesItsText)
{
    std::string memo = folder.File("memo.txt");
    ASSERT_TRUE(WriteWholeFile(memo, "12345"));
    const std::string memoBlock = std::string("12345") + std::string(10, '\0');
    struct Row { std::string entry; std::string clipboard; };
    const Row rows[] = {
        {"\"Good morning\"", Nul("Good morning")},
        {"Greeting/=\"Good morning\"", Nul("Good morning")},
        {"/f=\"" + memo + "\"", memoBlock},
        {"Memo/f=\"" + memo + "\"", memoBlock},
        {"Good morning", Nul("Good morning")},
        {"/f=" + memo, memoBlock},
        {"Greeting/=   \"Hi\"", Nul("Hi")},
        {"\"  Hi\"", Nul("  Hi")},
        {"\"a/=b\"", Nul("a/=b")},
        {"\"see /f=x\"", Nul("see /f=x")},
        {"\"/f=C:\\memo.txt\"", Nul("/f=C:\\memo.txt")},
        {"\"say \"hi\"\"", Nul("say ")},
        {"x /= y", Nul("y")},
        {"Title/=\"\"", kUnchanged},
        {"/f=", kUnchanged},
        {"", kUnchanged},
        {"挨拶/=\"おはよう表ソ\"", Nul("おはよう表ソ")},
    };
    for (const Row& row : rows) {
        CopyResult result = Copy(test, row.entry);
        EXPECT_EQ(row.clipboard, result.clipboard) << "entry [" << row.entry << "]";
        EXPECT_EQ("", ShowBoxes(result.boxes)) << "entry [" << row.entry << "]";
        EXPECT_EQ(0, result.closePosted) << "entry [" << row.entry << "]";
        EXPECT_EQ(row.entry, WindowText(test.combo)) << "the edit field keeps the entry";
    }
}

TEST_F(CopyClipTextTest, FileReferencesThatGiveNothing)
{
    ASSERT_TRUE(WriteWholeFile(folder.File("empty.txt"), ""));
    // A byte-order mark alone holds no text either.
    ASSERT_TRUE(WriteWholeFile(folder.File("utf8-mark.txt"), "\xEF\xBB\xBF"));
    ASSERT_TRUE(WriteWholeFile(folder.File("utf16le-mark.txt"), "\xFF\xFE"));
    ASSERT_TRUE(WriteWholeFile(folder.File("utf16be-mark.txt"), "\xFE\xFF"));
    CreateDirectoryA(folder.File("folder").c_str(), nullptr);
    const std::string notFound = std::string(kTitleConfirm) + ":" + kFileNotFound;
    const std::string rows[] = {"empty.txt", "utf8-mark.txt", "utf16le-mark.txt",
                                "utf16be-mark.txt", "folder", "missing.txt", "no\\where.txt"};
    for (const std::string& name : rows) {
        CopyResult result = Copy(test, "/f=\"" + folder.File(name.c_str()) + "\"");
        EXPECT_EQ(kUnchanged, result.clipboard) << name;
        EXPECT_EQ("[" + notFound + "]", ShowBoxes(result.boxes)) << name;
        EXPECT_EQ(0, result.closePosted) << name;
    }
}

// A referenced file is copied as the text it holds, whatever its encoding:
// what a Unicode reader of the clipboard gets.
TEST_F(CopyClipTextTest, ReferencedFileIsCopiedAsTheTextItHolds)
{
    struct Row { const char* what; std::string bytes; };
    // "表ソ" in each encoding; both end in 0x5C in code page 932.
    const Row rows[] = {
        {"code page 932", "\x95\x5C\x83\x5C"},
        {"UTF-8", "\xE8\xA1\xA8\xE3\x82\xBD"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF\xE8\xA1\xA8\xE3\x82\xBD"},
        {"UTF-16 LE with its mark", std::string("\xFF\xFE\x68\x88\xBD\x30", 6)},
        {"UTF-16 BE with its mark", std::string("\xFE\xFF\x88\x68\x30\xBD", 6)},
    };
    for (const Row& row : rows) {
        std::string path = folder.Write("text.txt", row.bytes);
        CopyResult result = Copy(test, "/f=\"" + path + "\"");
        EXPECT_EQ("", ShowBoxes(result.boxes)) << row.what;
        EXPECT_EQ("表ソ", ClipboardText()) << row.what;
    }
}

// A referenced file is judged as the list is (DetectEncoding): short code
// page 932 texts that are valid UTF-8 too stay code page 932, and UTF-8
// notes in another script are read as UTF-8.
TEST_F(CopyClipTextTest, ReferencedFileValidInBothEncodingsIsJudgedAsTheListIs)
{
    struct Row { const char* what; std::string bytes; std::string text; };
    const Row rows[] = {
        {"half-width katakana pair", "\xCA\xB2", "ﾊｲ"},
        {"kanji and full-width space", "\xE3\x95\x81\x40", "纒　"},
        {"UTF-8 kanji", "\xE6\x97\xA5\xE6\x9C\xAC", "日本"},
        {"UTF-8 Greek, valid in both", "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xB1\r\n", "Γεια\r\n"},
        {"UTF-8 Russian", "\xD1\x81\xD0\xB2\xD0\xBE\xD0\xB8\xD0\xBC", "своим"},
    };
    for (const Row& row : rows) {
        std::string path = folder.Write("both.txt", row.bytes);
        CopyResult result = Copy(test, "/f=\"" + path + "\"");
        EXPECT_EQ("", ShowBoxes(result.boxes)) << row.what;
        EXPECT_EQ(row.text, ClipboardText()) << row.what;
    }
}

TEST_F(CopyClipTextTest, FileWithAZeroByteGivesTextThatEndsThere)
{
    std::string path = folder.File("zero.txt");
    std::string bytes = std::string("ab\0cd\r\n", 7);
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    CopyResult result = Copy(test, "/f=\"" + path + "\"");
    EXPECT_EQ(bytes + std::string(10, '\0'), result.clipboard) << "the file as it is, 10 zero bytes after";
    EXPECT_STREQ("ab", result.clipboard.c_str());
}

TEST_F(CopyClipTextTest, EntryLongerThanTheClipTextIsCut)
{
    std::string message;
    for (int i = 0; i < 700; ++i) message += "あ";  // 1400 bytes
    // Cut to 1023 bytes, one less where that would split a character.
    struct Row { std::string text; size_t kept; };
    const Row rows[] = {{"x" + message, 1023}, {message, 1022}};
    for (const Row& row : rows) {
        CopyResult result = Copy(test, "\"" + row.text + "\"");
        std::string kept = row.text.substr(0, row.kept);
        EXPECT_EQ(Nul(kept), result.clipboard) << "kept " << row.kept << " bytes";
    }
}

TEST_F(CopyClipTextTest, AutomaticExitFollowsASuccessfulCopyOnly)
{
    m_AutoExit = 1;
    CopyResult copied = Copy(test, "\"bye\"");
    EXPECT_EQ(Nul("bye"), copied.clipboard);
    EXPECT_EQ(1, copied.closePosted) << "WM_CLOSE posted after the copy";

    CopyResult missing = Copy(test, "/f=\"" + folder.File("missing.txt") + "\"");
    EXPECT_EQ(0, missing.closePosted) << "no exit when nothing was copied";
    CopyResult empty = Copy(test, "Title/=\"\"");
    EXPECT_EQ(0, empty.closePosted);
}

TEST_F(CopyClipTextTest, ClipboardHeldBrieflyIsWaitedFor)
{
    CopyResult result = Copy(test, "\"patience\"", 150);
    EXPECT_EQ(Nul("patience"), result.clipboard);
    EXPECT_EQ("", ShowBoxes(result.boxes));
}

TEST_F(CopyClipTextTest, ClipboardHeldByAnotherIsAFailureNotASuccess)
{
    m_AutoExit = 1;
    CopyResult result = Copy(test, "\"blocked\"", 1500);
    EXPECT_EQ(kUnchanged, result.clipboard);
    EXPECT_EQ("[" + std::string(kTitleFailure) + ":" + kClipboardFailed + "]", ShowBoxes(result.boxes))
        << "one message, without owner";
    EXPECT_EQ(0, result.closePosted) << "no automatic exit";
}

}  // namespace
