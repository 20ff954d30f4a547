#include <gtest/gtest.h>

#include <string>

#include "app_state.h"
#include "clip_entry.h"

namespace {

struct EntryRow {
    const char* entry;
    const char* text;
    int isFile;
    const char* title;
    const char* message;
};

// The entry table: every form, and the corner cases where Extract and Split
// deliberately read the same entry differently.
const EntryRow kEntries[] = {
    {"\"Good morning\"", "Good morning", 0, "", "Good morning"},
    {"Greeting/=\"Good morning\"", "Good morning", 0, "Greeting", "Good morning"},
    {"/f=\"C:\\memo.txt\"", "C:\\memo.txt", 1, "", "/f=C:\\memo.txt"},
    {"Memo/f=\"C:\\memo.txt\"", "C:\\memo.txt", 1, "Memo", "/f=C:\\memo.txt"},
    {"Good morning", "Good morning", 0, "", "Good morning"},
    {"/f=C:\\memo.txt", "C:\\memo.txt", 1, "", "/f=C:\\memo.txt"},
    {"Greeting/=   \"Hi\"", "Hi", 0, "Greeting", "Hi"},
    {"\"  Hi\"", "  Hi", 0, "", "  Hi"},
    {"\"a/=b\"", "a/=b", 0, "\"a", "b"},
    {"\"see /f=x\"", "see /f=x", 0, "\"see ", "/f=x"},
    {"\"/f=C:\\memo.txt\"", "/f=C:\\memo.txt", 0, "\"", "/f=C:\\memo.txt"},
    {"\"say \"hi\"\"", "say ", 0, "", "say "},
    {"x /= y", "y", 0, "x ", "y"},
    {"Title/=\"\"", "", 0, "Title", ""},
    {"/f=", "", 1, "", "/f="},
    {"", "", 0, "", ""},
    // Japanese: 表 and ソ end in the byte 0x5C, which must not disturb
    // anything because every marker starts below 0x40.
    {"挨拶/=\"おはよう表ソ\"", "おはよう表ソ", 0, "挨拶", "おはよう表ソ"},
    {"メモ/f=\"C:\\資料\\表.txt\"", "C:\\資料\\表.txt", 1, "メモ", "/f=C:\\資料\\表.txt"},
};

TEST(ClipEntry, ExtractAndSplitFollowTheEntryTable)
{
    for (const EntryRow& row : kEntries) {
        char text[kTextSize] = "untouched";
        int isFile = ExtractClipText(row.entry, text, sizeof text);
        EXPECT_STREQ(row.text, text) << "Extract text of [" << row.entry << "]";
        EXPECT_EQ(row.isFile, isFile) << "Extract file flag of [" << row.entry << "]";

        char title[kTextSize] = "untouched";
        char message[kTextSize] = "untouched";
        SplitClipEntry(row.entry, title, sizeof title, message, sizeof message);
        EXPECT_STREQ(row.title, title) << "Split title of [" << row.entry << "]";
        EXPECT_STREQ(row.message, message) << "Split message of [" << row.entry << "]";
    }
}

struct ComposeRow {
    const char* title;
    const char* message;
    const char* entry;  // null: no entry
};

const ComposeRow kComposed[] = {
    {"", "Good morning", "\"Good morning\""},
    {"Greeting", "Good morning", "Greeting/=\"Good morning\""},
    {"", "/f=C:\\memo.txt", "/f=\"C:\\memo.txt\""},
    {"Memo", "/f=C:\\memo.txt", "Memo/f=\"C:\\memo.txt\""},
    {"Memo", "see /f=x", "Memo/=\"see /f=x\""},
    {"Memo", "", nullptr},
    {"", "", nullptr},
    {"", "/F=x", "\"/F=x\""},                       // the marker is case-sensitive
    {"", "/f=\"C:\\memo.txt\"", "/f=\"\"C:\\memo.txt\"\""},  // quotes are not stripped
    {"挨拶", "こんにちは", "挨拶/=\"こんにちは\""},
};

TEST(ClipEntry, ComposeFollowsTheComposeTable)
{
    for (const ComposeRow& row : kComposed) {
        char entry[kTextSize] = "untouched";
        int made = ComposeClipEntry(row.title, row.message, entry);
        if (row.entry) {
            EXPECT_EQ(1, made) << "[" << row.title << "] [" << row.message << "]";
            EXPECT_STREQ(row.entry, entry) << "[" << row.title << "] [" << row.message << "]";
        } else {
            EXPECT_EQ(0, made) << "[" << row.title << "] [" << row.message << "]";
            EXPECT_STREQ("untouched", entry);
        }
    }
}

TEST(ClipEntry, SplitGivesBackWhatComposeWrote)
{
    const char* titles[] = {"", "Memo", "メモ 1"};
    const char* messages[] = {"Hello", "/f=C:\\a b\\c.txt", "二行目/ここ", "a/b", " lead"};
    for (const char* title : titles) {
        for (const char* message : messages) {
            char entry[kTextSize];
            ASSERT_EQ(1, ComposeClipEntry(title, message, entry));
            char t[kTextSize], m[kTextSize];
            SplitClipEntry(entry, t, sizeof t, m, sizeof m);
            EXPECT_STREQ(title, t) << "entry [" << entry << "]";
            EXPECT_STREQ(message, m) << "entry [" << entry << "]";
        }
    }
}

// What the editor stores must read back as typed; the format has no escape,
// so anything the syntax would take for structure is named instead.
TEST(ClipEntry, ComposedEntryIsCheckedByReadingItBack)
{
    const struct { std::string title, message; EntryFaultKind kind; const char* mark; } rows[] = {
        {"Memo", "see /f=C:\\win.ini /= ok", kEntryStoredWhole, nullptr},  // a title shields it
        {"T", "lone\nLF and \r CR", kEntryStoredWhole, nullptr},  // only CR LF ends a line
        {"", std::string(1021, 'a'), kEntryStoredWhole, nullptr},  // "..." is 1023 bytes
        {"", "say \"hi\" now", kEntryQuoteInMessage, "\""},
        {"表", "/f=C:\\a\"b.txt", kEntryQuoteInMessage, "\""},
        {"a/=b", "x", kEntryMarkInTitle, "/="},
        {"Memo/f=", "/f=C:\\memo.txt", kEntryMarkInTitle, "/f="},
        {"\"quoted title", "x", kEntryQuoteOpensTitle, "\""},
        {"", "see /f=C:\\windows\\win.ini ok", kEntryMarkNeedsTitle, "/f="},
        {"", "/f=C:\\odd/=name.txt", kEntryMarkInPath, "/="},
        {"Ti\r\ntle", "x", kEntryLineBreak, "\r\n"},
        {"", std::string(1022, 'a'), kEntryTooLong, nullptr},
    };
    for (const auto& row : rows) {
        char entry[kTextSize];
        ASSERT_EQ(1, ComposeClipEntry(row.title.c_str(), row.message.c_str(), entry));
        EntryFault fault = CheckComposedEntry(row.title.c_str(), row.message.c_str(), entry);
        EXPECT_EQ(row.kind, fault.kind) << "composed as [" << entry << "]";
        EXPECT_STREQ(row.mark, fault.mark) << "composed as [" << entry << "]";
    }
}

// The limit is checked on the entry as composed, in the code page it is
// composed in: texts that make more than 1023 bytes are too long however
// close to the limit a cut would land.
TEST(ClipEntry, LengthIsMeasuredOnTheComposedEntry)
{
    std::string euros = "a";
    for (int i = 0; i < 400; ++i) euros += "\xE2\x82\xAC";  // 1,201 bytes of UTF-8
    std::string emoji;
    for (int i = 0; i < 300; ++i) emoji += "\xF0\x9F\x98\x80";
    const std::string xThenEuro = std::string(1021, 'x') + "\xE2\x82\xAC";
    const struct { std::string title, message; EntryFaultKind kind; } rows[] = {
        {"", euros, kEntryTooLong},
        {"", emoji, kEntryTooLong},
        {"", xThenEuro, kEntryTooLong},
        {"", std::string(1018, 'x') + "\xE2\x82\xAC", kEntryStoredWhole},  // 1,023 bytes quoted
        {"T", std::string(1017, 'x') + "\xE2\x82\xAC", kEntryTooLong},     // T/="..." 1,024
        {"", "/f=" + std::string(1018, 'p'), kEntryStoredWhole},  // /f="..." 1,023
        {"", "/f=" + std::string(1019, 'p'), kEntryTooLong},
        {std::string(3000, 't'), "m", kEntryTooLong},
    };
    for (const auto& row : rows) {
        char entry[kTextSize];
        ASSERT_EQ(1, ComposeClipEntry(row.title.c_str(), row.message.c_str(), entry,
                                      kCodePageUtf8));
        EntryFault fault =
            CheckComposedEntry(row.title.c_str(), row.message.c_str(), entry, kCodePageUtf8);
        EXPECT_EQ(row.kind, fault.kind)
            << row.title.size() << " + " << row.message.size() << " bytes";
    }
}

TEST(ClipEntry, ComposeCutsLongEntriesTo1023BytesKeepingTheClosingQuote)
{
    std::string longMessage(1500, 'a');
    char entry[kTextSize + 8];
    memset(entry, 'Z', sizeof entry);
    ASSERT_EQ(1, ComposeClipEntry("T", longMessage.c_str(), entry));
    EXPECT_EQ(1023u, strlen(entry));
    EXPECT_EQ('"', entry[1022]) << "the closing quote survives the cut";
    EXPECT_EQ('Z', entry[1024]) << "nothing written past the 1024-byte room";

    // A double-byte message is cut on a character boundary.
    std::string japanese;
    for (int i = 0; i < 600; ++i) japanese += "表";
    ASSERT_EQ(1, ComposeClipEntry("", japanese.c_str(), entry));
    size_t length = strlen(entry);
    EXPECT_LE(length, 1023u);
    EXPECT_EQ('"', entry[length - 1]);
    EXPECT_EQ(0u, (length - 2) % 2) << "no half character before the quote";

    // A title that fills the room on its own.
    std::string longTitle(1100, 't');
    ASSERT_EQ(1, ComposeClipEntry(longTitle.c_str(), "m", entry));
    EXPECT_EQ(1023u, strlen(entry));
}

TEST(ClipEntry, ExtractAndSplitCutToTheirBuffers)
{
    std::string entry = "T/=\"" + std::string(2000, 'x') + "\"";
    char text[16];
    ExtractClipText(entry.c_str(), text, sizeof text);
    EXPECT_EQ(std::string(15, 'x'), text);

    char title[2], message[8];
    SplitClipEntry(entry.c_str(), title, sizeof title, message, sizeof message);
    EXPECT_STREQ("T", title);
    EXPECT_EQ(std::string(7, 'x'), message);

    // The /f= prefix counts against the room too.
    SplitClipEntry("/f=abcdef", title, sizeof title, message, 5);
    EXPECT_STREQ("/f=a", message);
}

}  // namespace
