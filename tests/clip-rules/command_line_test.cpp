#include <gtest/gtest.h>

#include <string>

#include "app_state.h"
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
    {"x/f=y", 0, 0, 0, "", "", "/m=\"x/f=y\""},
    {" /f=y", 0, 0, 0, "", "", "/m=\" /f=y\""},
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
        {"m", 0, 0, 1, "abc", "", kArgumentsReadWhole, nullptr},  // read as the program reads it
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
