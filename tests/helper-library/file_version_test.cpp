// Version labels from the small resource-only DLLs the test build makes.
#include "Morvask.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Record(const char* name)
{
    return ProgramFolder() + "\\" + name;
}

TEST(MorvaskFileVersion, LabelsFromFileVersionTexts)
{
    const struct {
        const char* file;
        const char* label;
    } cases[] = {
        {"ver_comma.dll", "ver_comma.dll : 1.07.0  1016"},      // "1, 7, 0, 1016"
        {"ver_dots.dll", "ver_dots.dll : 1.07.0  1016"},        // "1.7.0.1016"
        {"ver_short.dll", "ver_short.dll : 2.03.0  0"},         // "2, 3"
        {"ver_build.dll", "ver_build.dll : 1.07.0  0"},         // "1.7.0 (build 1016)"
        {"ver_wide.dll", "ver_wide.dll : 1.123.0  0"},          // "1.123.0.0"
        {"ver_midsize.dll", "ver_midsize.dll : 1.07.0  1016"},  // FileVersion near 1.7 KiB
    };
    for (const auto& c : cases) {
        char out[128];
        memset(out, 'Z', sizeof out);
        EXPECT_EQ(0, MRVK0_GetFileVersionString(Record(c.file).c_str(), "041104b0", out)) << c.file;
        EXPECT_STREQ(c.label, out);
    }
}

TEST(MorvaskFileVersion, FailuresLeaveOutAndTheSplitAlone)
{
    ScratchFolder folder("morvask");
    const struct {
        std::string path;
        const char* langCodePage;
    } cases[] = {
        {Record("ver_none.dll"), "041104b0"},    // no version record
        {Record("ver_beyond.dll"), "041104b0"},  // FileVersion past the first 2048 bytes
        {Record("ver_comma.dll"), "040904b0"},   // no such string table
        {Record("ver_comma.dll"), ""},
        {folder.File("missing.dll"), "041104b0"},
        {folder.Write("plain.txt", "not a program"), "041104b0"},
        {Record("ver_comma.dll"), nullptr},  // a table name far beyond 99 bytes
    };
    std::string longLanguage = "041104b0" + std::string(150, '0');
    for (const auto& c : cases) {
        const char* language = c.langCodePage ? c.langCodePage : longLanguage.c_str();
        int handle = MRVK0_SplitPath("C:\\kept\\split.txt");
        char out[128];
        memset(out, 'Z', sizeof out);
        EXPECT_EQ(-1, MRVK0_GetFileVersionString(c.path.c_str(), language, out))
            << c.path << " in " << strlen(language) << "-byte table name " << language;
        EXPECT_EQ(std::string(128, 'Z'), std::string(out, 128)) << c.path << ": out was written";
        char item[260];
        EXPECT_EQ(0, MRVK0_GetSplitItem(handle, 6, item)) << c.path << ": the failure split";
    }
}

TEST(MorvaskFileVersion, ASuccessMakesEarlierSplitHandlesStale)
{
    int handle = MRVK0_SplitPath("C:\\before\\call.txt");
    char out[128];
    ASSERT_EQ(0, MRVK0_GetFileVersionString(Record("ver_comma.dll").c_str(), "041104b0", out));
    char item[260];
    EXPECT_EQ(-1, MRVK0_GetSplitItem(handle, 6, item));
    // It split exactly once: the next handle is two further on.
    int next = MRVK0_SplitPath("C:\\after\\call.txt");
    EXPECT_EQ(handle >= 9999 ? handle + 2 - 10001 : handle + 2, next);
}

TEST(MorvaskFileVersion, LongFileNamesAreCutToA127ByteLabel)
{
    ScratchFolder folder("morvask");
    const struct {
        std::string name;
        size_t labelLength;
    } cases[] = {
        // 112 bytes of name and the 15 bytes of " : 1.07.0  1016".
        {std::string(180, 'n') + ".dll", 127},
        // One byte and two-byte characters: the cut falls back to 111 bytes.
        {[] { std::string s = "x"; for (int i = 0; i < 60; ++i) s += "あ"; return s + ".dll"; }(), 126},
    };
    for (const auto& c : cases) {
        std::string copy = folder.File(c.name);
        ASSERT_TRUE(CopyFileA(Record("ver_comma.dll").c_str(), copy.c_str(), FALSE)) << copy;
        char out[200];
        memset(out, 'Z', sizeof out);
        ASSERT_EQ(0, MRVK0_GetFileVersionString(copy.c_str(), "041104b0", out));
        std::string label = out;
        EXPECT_EQ(c.labelLength, label.size()) << label;
        EXPECT_EQ('Z', out[128]) << "wrote past 128 bytes";
        EXPECT_EQ(c.name.substr(0, c.labelLength - 15) + " : 1.07.0  1016", label);
    }
}

// The wide label: names outside code page 932 whole, and a name too long
// for 127 characters cut so that the label fits, never inside a surrogate
// pair. The latest split is left alone.
TEST(MorvaskFileVersion, WideLabelsKeepTheNameAndFit127Characters)
{
    ScratchFolder folder("morvask");
    const std::wstring numbers = L" : 1.07.0  1016";
    const struct {
        std::wstring name, label;
    } cases[] = {
        {L"版数𠮷😀.dll", L"版数𠮷😀.dll" + numbers},
        {std::wstring(180, L'n') + L".dll", std::wstring(112, L'n') + numbers},
        // The 112th character would be the first half of 𠮷.
        {std::wstring(111, L'n') + L"𠮷.dll", std::wstring(111, L'n') + numbers},
    };
    for (const auto& c : cases) {
        const std::wstring copy = Wide(folder.path) + L"\\" + c.name;
        ASSERT_TRUE(CopyFileW(Wide(Record("ver_comma.dll")).c_str(), copy.c_str(), FALSE));
        int handle = MRVK0_SplitPath("C:\\kept\\split.txt");
        WCHAR out[200];
        for (WCHAR& unit : out) unit = L'Z';
        ASSERT_EQ(0, MRVK0_GetFileVersionStringW(copy.c_str(), "041104b0", out));
        EXPECT_EQ(c.label, std::wstring(out));
        EXPECT_EQ(L'Z', out[128]) << "wrote past 128 characters";
        char item[260];
        EXPECT_EQ(0, MRVK0_GetSplitItem(handle, 6, item)) << "the wide label split a path";
    }
    WCHAR out[128];
    for (WCHAR& unit : out) unit = L'Z';
    EXPECT_EQ(-1, MRVK0_GetFileVersionStringW(Wide(Record("ver_none.dll")).c_str(), "041104b0", out));
    EXPECT_EQ(-1, MRVK0_GetFileVersionStringW(Wide(Record("ver_comma.dll")).c_str(), "040904b0", out));
    EXPECT_EQ(L'Z', out[0]) << "a failure wrote";
}

}  // namespace
