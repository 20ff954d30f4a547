#include <gtest/gtest.h>

#include <string>

#include "app_state.h"
#include "clip_entry.h"
#include "command_line.h"

namespace {

// Each row starts from a fresh process: flags 0, defaults in place.
void Parse(const char* arguments)
{
    m_AutoStart = 0;
    m_AutoExit = 0;
    strcpy(m_ClipText, "stale");
    m_PosX = m_PosY = -7;
    ASSERT_EQ(0, TakeCommandLine(arguments));
    ParseCommandLine();
}

struct ParseRow {
    const char* arguments;
    const char* clipText;
    int autoStart, autoExit, posX, posY;
};

const ParseRow kRows[] = {
    {"", "", 0, 0, 120, 64},
    {"/g", "", 0, 0, 120, 64},
    {"/e", "", 0, 1, 120, 64},
    {"/m=\"Hello world\" /g /e", "Hello world", 1, 1, 120, 64},
    {"/m=Hello world", "Hello", 0, 0, 120, 64},
    {"/m=a/b", "a", 0, 0, 120, 64},
    {"/m=\"unclosed text", "unclosed text", 0, 0, 120, 64},
    {"/m=   ", "", 0, 0, 120, 64},
    {"/m=\"\" /g", "", 0, 0, 120, 64},
    {"/f=\"C:\\My Files\\memo.txt\"", "/f=\"C:\\My Files\\memo.txt\"", 0, 0, 120, 64},
    {"/f=C:\\memo.txt /g", "/f=\"C:\\memo.txt\"", 1, 0, 120, 64},
    {"/f=\"C:\\memo.txt", "/f=\"C:\\memo.txt\"", 0, 0, 120, 64},
    {"/m=\"x\" /f=\"y.txt\"", "/f=\"y.txt\"", 0, 0, 120, 64},
    {"/x=-5 /y=300", "", 0, 0, 120, 300},
    {"/x=abc", "", 0, 0, 0, 64},
    {"/x=12px", "", 0, 0, 12, 64},
    {"/x=\"30\"", "", 0, 0, 0, 64},
    {"/x=/y=10", "", 0, 0, 120, 10},
    {"/x=  40 /y=0", "", 0, 0, 40, 0},
    {"/x=99999999999999999999", "", 0, 0, 2147483647, 64},
    {"/x=-99999999999999999999", "", 0, 0, 120, 64},
    {"/m=\"see /e\"", "see /e", 0, 1, 120, 64},
    {"/G /M=abc", "", 0, 0, 120, 64},
    {"/m=\"一 /x=5\" /g", "一 /x=5", 1, 0, 5, 64},
    {"/m=こんにちは表 /g /e", "こんにちは表", 1, 1, 120, 64},
    {"/m=\"first\" /m=\"second\"", "first", 0, 0, 120, 64},
};

TEST(CommandLine, ParseFollowsTheOptionTable)
{
    for (const ParseRow& row : kRows) {
        Parse(row.arguments);
        EXPECT_STREQ(row.clipText, m_ClipText) << "for [" << row.arguments << "]";
        EXPECT_EQ(row.autoStart, m_AutoStart) << "m_AutoStart for [" << row.arguments << "]";
        EXPECT_EQ(row.autoExit, m_AutoExit) << "m_AutoExit for [" << row.arguments << "]";
        EXPECT_EQ(row.posX, m_PosX) << "m_PosX for [" << row.arguments << "]";
        EXPECT_EQ(row.posY, m_PosY) << "m_PosY for [" << row.arguments << "]";
    }
}

TEST(CommandLine, ParseDoesNotResetTheFlagsItFindsSet)
{
    m_AutoStart = 1;
    m_AutoExit = 1;
    ASSERT_EQ(0, TakeCommandLine("/m=x"));
    ParseCommandLine();
    EXPECT_EQ(1, m_AutoStart);
    EXPECT_EQ(1, m_AutoExit);
}

TEST(CommandLine, TakeRefusesArgumentsOf1024BytesOrMore)
{
    std::string fits(1023, 'a');
    EXPECT_EQ(0, TakeCommandLine(fits.c_str()));
    EXPECT_EQ(fits, m_CmdLine);

    for (size_t length : {1024u, 1025u, 32000u}) {
        std::string tooLong(length, 'b');
        strcpy(m_CmdLine, "old");
        EXPECT_EQ(-1, TakeCommandLine(tooLong.c_str())) << length << " bytes";
        EXPECT_STREQ("", m_CmdLine) << length << " bytes";
        m_AutoStart = m_AutoExit = 0;
        ParseCommandLine();
        EXPECT_STREQ("", m_ClipText);
        EXPECT_EQ(120, m_PosX);
        EXPECT_EQ(64, m_PosY);
    }
}

TEST(CommandLine, LongFileValueKeepsItsClosingQuote)
{
    std::string arguments = "/f=\"" + std::string(1019, 'p');  // 1023 bytes, unclosed
    Parse(arguments.c_str());
    size_t length = strlen(m_ClipText);
    EXPECT_EQ(1023u, length);
    EXPECT_EQ(0, strncmp(m_ClipText, "/f=\"ppp", 7));
    EXPECT_EQ('"', m_ClipText[length - 1]);

    std::string message = "/m=" + std::string(1020, 'm');
    Parse(message.c_str());
    EXPECT_EQ(1020u, strlen(m_ClipText));
}

struct ComposeArgsRow {
    const char* message;
    int start, exit, position;
    const char* x;
    const char* y;
    const char* arguments;
};

const ComposeArgsRow kComposeRows[] = {
    {"abc", 1, 1, 1, "120", "64", "/m=\"abc\" /g /e /x=120 /y=64"},
    {"/f=D:\\doc\\a.txt", 0, 0, 0, "", "", "/f=\"D:\\doc\\a.txt\""},
    {"", 1, 0, 0, "", "", "/g"},
    {"", 0, 1, 0, "", "", "/e"},
    {"", 0, 0, 1, "120", "64", "/x=120 /y=64"},
    {"", 0, 0, 0, "", "", ""},
    // A marker inside the message: written after an empty title, so that
    // the entry rules take the message whole.
    {"x/f=y", 0, 0, 0, "", "", "/m=\"/=x/f=y\""},
    {" /f=y", 0, 0, 0, "", "", "/m=\"/= /f=y\""},
    {"a/=b", 1, 1, 0, "", "", "/m=\"/=a/=b\" /g /e"},
    {"/=", 0, 0, 0, "", "", "/m=\"/=/=\""},
    {"/F=y", 0, 0, 0, "", "", "/m=\"/F=y\""},
    {"/f=", 0, 0, 0, "", "", "/f=\"\""},
    {"/f=\"C:\\a.txt\"", 0, 0, 0, "", "", "/f=\"\"C:\\a.txt\"\""},
    {"m", 0, 0, 1, "", "64", "/m=\"m\" /x= /y=64"},
    {"おはよう", 1, 1, 0, "", "", "/m=\"おはよう\" /g /e"},
};

TEST(CommandLine, ComposeShortcutArgumentsFollowsTheList)
{
    for (const ComposeArgsRow& row : kComposeRows) {
        char out[kTextSize] = "untouched";
        ComposeShortcutArguments(row.message, row.start, row.exit, row.position, row.x,
                                 row.y, out);
        EXPECT_STREQ(row.arguments, out) << "message [" << row.message << "]";
    }
}

TEST(CommandLine, ComposedArgumentsParseBackToTheSameState)
{
    const char* messages[] = {"Good morning", "/f=C:\\My Files\\memo.txt", "表示/ソ"};
    for (const char* message : messages) {
        char out[kTextSize];
        ComposeShortcutArguments(message, 1, 1, 1, "10", "20", out);
        Parse(out);
        std::string expected = message;
        if (expected.compare(0, 3, "/f=") == 0) expected = "/f=\"" + expected.substr(3) + "\"";
        EXPECT_EQ(expected, m_ClipText) << "arguments [" << out << "]";
        EXPECT_EQ(1, m_AutoStart);
        EXPECT_EQ(1, m_AutoExit);
        EXPECT_EQ(10, m_PosX);
        EXPECT_EQ(20, m_PosY);
    }
}

// A shortcut must start the program with what its dialog showed. Options
// are found anywhere, also inside the quoted message, and a quote ends it.
TEST(CommandLine, ShortcutArgumentsAreCheckedByReadingThemBack)
{
    const struct {
        std::string message; int start, exit, position; const char* x; const char* y;
        ArgumentsFaultKind kind; const char* mark;
    } rows[] = {
        {"/f=C:\\My Files\\memo.txt", 1, 0, 1, "0", "300", kArgumentsReadWhole, nullptr},
        {"bye /e", 1, 1, 0, "", "", kArgumentsReadWhole, nullptr},  // asked for anyway
        // A position that the command line would not read as typed (it reads
        // abc as 0) is refused, no longer written as the program reads it.
        {"m", 0, 0, 1, "abc", "", kArgumentsBadPosition, "/x="},
        {std::string(1018, 'a'), 0, 0, 0, "", "", kArgumentsReadWhole, nullptr},  // 1023 bytes
        {"see /f=C:\\windows\\win.ini ok", 1, 1, 0, "", "", kArgumentsMarkInMessage, "/f="},
        {"say \"hi\" now", 1, 1, 0, "", "", kArgumentsMarkInMessage, "\""},
        {"bye /e", 1, 0, 0, "", "", kArgumentsMarkInMessage, "/e"},
        {"一 /x=5", 1, 1, 0, "", "", kArgumentsMarkInMessage, "/x="},
        {"m", 0, 0, 1, "10 /g", "20", kArgumentsMarkInPosition, "/g"},
        {std::string(1015, 'a'), 1, 1, 0, "", "", kArgumentsTooLong, nullptr},
    };
    for (const auto& row : rows) {
        char out[kTextSize];
        ComposeShortcutArguments(row.message.c_str(), row.start, row.exit, row.position, row.x,
                                 row.y, out);
        ArgumentsFault fault = CheckShortcutArguments(row.message.c_str(), row.start, row.exit,
                                                      row.position, row.x, row.y, out);
        EXPECT_EQ(row.kind, fault.kind) << "composed as [" << out << "]";
        EXPECT_STREQ(row.mark, fault.mark) << "composed as [" << out << "]";
    }
}

// What a start copies from a command line: the command line's text read by
// the entry rules, blanks before it skipped and the first "/=" taken as the
// end of a title, as the one-click start and the copy button take it.
TEST(CommandLine, StartCopyTextFollowsTheCommandLineAndTheEntryRules)
{
    const struct { const char* line; const char* text; int isFile; } rows[] = {
        {"/m=\"Good morning\" /g /e", "Good morning", 0},
        {"/m=\"  two leading blanks\" /g /e", "two leading blanks", 0},
        {"/m=\"a/=b\" /g /e", "b", 0},
        {"/m=\"   \" /g /e", "", 0},
        {"/m=\"/=a/=b\" /g /e", "a/=b", 0},      // an empty title in front
        {"/m=\"/=see /e\" /g /e", "see /e", 0},
        {"/m=\"/=  a\"", "a", 0},                 // blanks skipped after a title too
        {"/m=\"a \"", "a ", 0},                   // blanks after the text stay
        {"/m=\"x/f=y\"", "y", 1},                 // the option /f= found inside
        {"/f=\"C:\\My Files\\memo.txt\" /g", "C:\\My Files\\memo.txt", 1},
        {"/f=\"  C:\\memo.txt\"", "  C:\\memo.txt", 1},  // inside its quotes
        {"/f=\"C:\\odd/=name.txt\"", "name.txt", 0},  // "/=" ends a title first
        {"/f=\"\"", "", 1},
        {"/m=bare words", "bare", 0},
        {"/g /e", "", 0},
        {"", "", 0},
    };
    for (const auto& row : rows) {
        char text[kTextSize] = "untouched";
        EXPECT_EQ(row.isFile, StartCopyText(row.line, kCodePage932, text, kTextSize))
            << "file flag for [" << row.line << "]";
        EXPECT_STREQ(row.text, text) << "for [" << row.line << "]";

        // The same as the program's own start: the parse, then the copy's
        // extraction from m_ClipText.
        Parse(row.line);
        char copied[kTextSize];
        EXPECT_EQ(row.isFile, ExtractClipText(m_ClipText, copied, kTextSize)) << row.line;
        EXPECT_STREQ(row.text, copied) << "for [" << row.line << "]";
    }
}

// The shortcut maker's read-back goes the whole way a one-click start goes:
// a message that the copy would take differently is written in a form that
// reads back whole where one exists (an empty title in front), and refused
// with its reason where none does.
TEST(CommandLine, ShortcutCopiesExactlyTheMessageItsDialogShowed)
{
    const struct {
        std::string message; ArgumentsFaultKind kind; const char* mark; const char* arguments;
    } rows[] = {
        {"indented text", kArgumentsReadWhole, nullptr, "/m=\"indented text\" /g /e"},
        {"trailing blanks  ", kArgumentsReadWhole, nullptr, "/m=\"trailing blanks  \" /g /e"},
        {"a/=b", kArgumentsReadWhole, nullptr, "/m=\"/=a/=b\" /g /e"},
        {"/=b", kArgumentsReadWhole, nullptr, "/m=\"/=/=b\" /g /e"},
        {"a/=", kArgumentsReadWhole, nullptr, "/m=\"/=a/=\" /g /e"},
        {"Greeting/=Good morning", kArgumentsReadWhole, nullptr,
         "/m=\"/=Greeting/=Good morning\" /g /e"},
        {"表/=ソ", kArgumentsReadWhole, nullptr, "/m=\"/=表/=ソ\" /g /e"},
        {"/f=C:\\memo.txt", kArgumentsReadWhole, nullptr, "/f=\"C:\\memo.txt\" /g /e"},
        {"", kArgumentsReadWhole, nullptr, "/g /e"},  // no message: nothing to copy, as shown
        {"  two leading blanks", kArgumentsLeadingBlanks, nullptr, nullptr},
        {" x", kArgumentsLeadingBlanks, nullptr, nullptr},
        {"  a/=b", kArgumentsLeadingBlanks, nullptr, nullptr},
        {"   ", kArgumentsCopiesNothing, nullptr, nullptr},
        {" ", kArgumentsCopiesNothing, nullptr, nullptr},
        {"/f=", kArgumentsCopiesNothing, nullptr, nullptr},
        // A path keeps its blanks: the command line writes it back in quotes.
        {"/f=  C:\\memo.txt", kArgumentsReadWhole, nullptr, "/f=\"  C:\\memo.txt\" /g /e"},
        {"/f=C:\\odd/=name.txt", kArgumentsMarkInMessage, "/=", nullptr},
        {"see /f=x", kArgumentsMarkInMessage, "/f=", nullptr},  // the option, not the marker
        {"T/=\"a/=b\"", kArgumentsMarkInMessage, "\"", nullptr},
        // The longest message that the empty title still lets through, and
        // one byte more: the length counted is the one written.
        {"a/=" + std::string(1007, 'a'), kArgumentsReadWhole, nullptr, nullptr},
        {"a/=" + std::string(1008, 'a'), kArgumentsTooLong, nullptr, nullptr},
    };
    for (const auto& row : rows) {
        char out[kTextSize];
        ComposeShortcutArguments(row.message.c_str(), 1, 1, 0, "", "", out);
        ArgumentsFault fault =
            CheckShortcutArguments(row.message.c_str(), 1, 1, 0, "", "", out);
        EXPECT_EQ(row.kind, fault.kind) << "[" << row.message << "] composed as [" << out << "]";
        EXPECT_STREQ(row.mark, fault.mark) << "[" << row.message << "]";
        if (row.arguments) {
            EXPECT_STREQ(row.arguments, out) << "[" << row.message << "]";
        }
        if (fault.kind != kArgumentsReadWhole) continue;
        // Accepted: the start copies the message shown, or the file's path.
        char copied[kTextSize];
        const bool isFile = row.message.compare(0, 3, "/f=") == 0;
        EXPECT_EQ(isFile ? 1 : 0, StartCopyText(out, kCodePage932, copied, kTextSize));
        EXPECT_EQ(row.message.substr(isFile ? 3 : 0), copied) << "composed as [" << out << "]";
    }
}

// A position is written only when the command line reads it as typed: ASCII
// digits alone, within the range of int.
TEST(CommandLine, PositionTextsMustBePlainNumbers)
{
    const std::string manyZeros = std::string(70, '0') + "12";  // the scan reads 63 bytes
    const struct { std::string x, y; ArgumentsFaultKind kind; const char* mark; } rows[] = {
        {"120", "64", kArgumentsReadWhole, nullptr},
        {"0", "0", kArgumentsReadWhole, nullptr},
        {"007", "2147483647", kArgumentsReadWhole, nullptr},
        {"abc", "64", kArgumentsBadPosition, "/x="},
        {"\x82\x50\x82\x51", "64", kArgumentsBadPosition, "/x="},  // full-width １２
        {"12abc", "64", kArgumentsBadPosition, "/x="},
        {"12px", "64", kArgumentsBadPosition, "/x="},
        {"120", "abc", kArgumentsBadPosition, "/y="},
        {"", "64", kArgumentsBadPosition, "/x="},
        {" 12", "64", kArgumentsBadPosition, "/x="},
        {"12 ", "64", kArgumentsBadPosition, "/x="},
        {"-5", "64", kArgumentsBadPosition, "/x="},
        {"+5", "64", kArgumentsBadPosition, "/x="},
        {"120", "2147483648", kArgumentsBadPosition, "/y="},
        {manyZeros, "64", kArgumentsBadPosition, "/x="},
        {"10 /g", "20", kArgumentsMarkInPosition, "/g"},  // an option named first
    };
    for (const auto& row : rows) {
        char out[kTextSize];
        ComposeShortcutArguments("m", 0, 0, 1, row.x.c_str(), row.y.c_str(), out);
        ArgumentsFault fault =
            CheckShortcutArguments("m", 0, 0, 1, row.x.c_str(), row.y.c_str(), out);
        EXPECT_EQ(row.kind, fault.kind) << "composed as [" << out << "]";
        EXPECT_STREQ(row.mark, fault.mark) << "composed as [" << out << "]";
    }
    // Unticked, the position texts are not written and not looked at.
    char out[kTextSize];
    ComposeShortcutArguments("m", 0, 0, 0, "abc", "", out);
    EXPECT_EQ(kArgumentsReadWhole, CheckShortcutArguments("m", 0, 0, 0, "abc", "", out).kind);
}

TEST(CommandLine, LongShortcutArgumentsShortenTheMessageNotTheOptions)
{
    std::string message(1023, 'w');
    char out[kTextSize + 8];
    memset(out, 'Z', sizeof out);
    ComposeShortcutArguments(message.c_str(), 1, 1, 1, "120", "64", out);
    std::string result = out;
    EXPECT_EQ(1023u, result.size());
    EXPECT_EQ("\" /g /e /x=120 /y=64", result.substr(result.size() - 20));
    EXPECT_EQ('Z', out[1024]);

    // The result is a command line the program accepts and reads back.
    Parse(out);
    EXPECT_EQ(1, m_AutoStart);
    EXPECT_EQ(1, m_AutoExit);

    // Position texts that alone overflow: cut, never overrun.
    std::string huge(1023, '9');
    ComposeShortcutArguments("m", 0, 0, 1, huge.c_str(), huge.c_str(), out);
    EXPECT_EQ(1023u, strlen(out));
    EXPECT_EQ('Z', out[1024]);
}

}  // namespace
