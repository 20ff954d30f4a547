// The real Quillan.exe, started in a folder of its own with a command line,
// watched and driven from outside as a user would.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include "test_support.h"
#include "resource.h"

namespace {

// Generous: Wine can be slow to show a first window on a busy machine.
const int kWindowWait = 20000;

const char kClipData[] =
    "お世話になっております。\r\n"
    "Greeting/=\"Good morning\"\r\n"
    "Zeta\r\n"
    "メモ/f=\"C:\\memo.txt\"\r\n"
    "Alpha\r\n";
const std::vector<std::string> kFileOrder = {
    "お世話になっております。", "Greeting/=\"Good morning\"", "Zeta",
    "メモ/f=\"C:\\memo.txt\"", "Alpha"};
const char kCaption[] = "Quillan.exe : 1.07.0  1016  /  Morvask.dll : 1.01.0  1012";

class Program : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeRunFolder(&folder_)) << "could not set up " << folder_.path;
        ASSERT_TRUE(WriteWholeFile(folder_.path + "\\ClipData.txt", kClipData));
    }

    void TearDown() override
    {
        FinishProgram(&run_);
        RemoveRunFolder(&folder_);
    }

    HWND StartAndWait(const std::string& arguments)
    {
        EXPECT_TRUE(StartProgram(&run_, folder_, arguments)) << GetLastError();
        HWND main = WaitForWindow(run_, NULL, true, kWindowWait);
        EXPECT_TRUE(main != NULL) << "the main window did not appear";
        return main;
    }

    // Presses a button of the main window as a click would.
    static void Press(HWND main, int id)
    {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     (LPARAM)GetDlgItem(main, id));
    }

    // Presses the copy button and gives the clipboard's text after it.
    static std::string CopyByButton(HWND main)
    {
        Press(main, IDOK);
        Sleep(500);
        return ClipboardText();
    }

    // Presses the file button and gives the file dialog it opens.
    HWND OpenFileBrowse(HWND main)
    {
        Press(main, IDC_BROWSE_TEXT_FILE);
        return WaitForWindow(run_, "クリップテキストファイル選択", false, kWindowWait);
    }

    static POINT Place(HWND window)
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return {rect.left, rect.top};
    }

    RunFolder folder_;
    ProgramRun run_ = {};
};

TEST_F(Program, PlainStartShowsTheListAtTheDefaultPlace)
{
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    EXPECT_EQ(kFileOrder, ComboItems(combo));
    EXPECT_EQ("", WindowText(combo));
    POINT at = Place(main);
    EXPECT_EQ(120, at.x);
    EXPECT_EQ(64, at.y);
    EXPECT_EQ(kCaption, WindowText(main));

    PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0, WaitForExit(&run_, 10000)) << "the exit button ends the program with 0";
}

TEST_F(Program, PositionFromTheCommandLine)
{
    HWND main = StartAndWait("/x=0 /y=0");
    ASSERT_TRUE(main);
    POINT at = Place(main);
    EXPECT_EQ(0, at.x);
    EXPECT_EQ(0, at.y);
}

TEST_F(Program, OneClickCopiesAndExitsWithoutReadingTheList)
{
    // The access time proves itself on a plain start first: there the
    // program reads its list, and the time must move.
    std::string list = folder_.path + "\\ClipData.txt";
    ASSERT_TRUE(AgeLastAccess(list));
    ASSERT_TRUE(StartAndWait(""));
    bool timesWork = ReadSinceAged(list);
    FinishProgram(&run_);

    PutOnClipboard("before");
    ASSERT_TRUE(AgeLastAccess(list));
    ASSERT_TRUE(StartProgram(&run_, folder_, "/m=\"Hi\" /g /e"));
    EXPECT_EQ(0, WaitForExit(&run_, kWindowWait)) << "the program should close by itself";
    EXPECT_EQ("Hi", ClipboardText());
    if (timesWork) {
        EXPECT_FALSE(ReadSinceAged(list)) << "a one-click copy must not load the list";
    } else {
        printf("note: access times are not kept here; the list is checked in-process\n");
    }
}

TEST_F(Program, MissingFileIsReportedAndTheWindowStaysUsable)
{
    DeleteFileA("C:\\missing.txt");
    PutOnClipboard("before");
    ASSERT_TRUE(StartProgram(&run_, folder_, "/f=\"C:\\missing.txt\" /g /e"));
    HWND box = WaitForWindow(run_, "確認", false, kWindowWait);
    ASSERT_TRUE(box) << "no message box";
    EXPECT_EQ("指定ファイルがありません", MessageBoxText(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    HWND main = WaitForWindow(run_, kCaption, true, kWindowWait);
    ASSERT_TRUE(main) << "the main window should stay open";
    Sleep(200);  // the list is loaded right after the box closes
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    EXPECT_EQ(kFileOrder, ComboItems(combo));
    EXPECT_EQ("", WindowText(combo));
    EXPECT_EQ(-1, WaitForExit(&run_, 300)) << "no automatic exit without a copy";
    EXPECT_EQ("before", ClipboardText());

    // And it still copies.
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ("Good morning", CopyByButton(main));
}

TEST_F(Program, ExitOptionAloneClosesAfterTheFirstManualCopy)
{
    HWND main = StartAndWait("/e");
    ASSERT_TRUE(main);
    EXPECT_EQ(-1, WaitForExit(&run_, 500)) << "nothing copied yet, the window stays";
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    EXPECT_EQ(kFileOrder, ComboItems(combo));
    SendMessageW(combo, WM_SETTEXT, 0, (LPARAM)L"Hello");
    Press(main, IDOK);
    EXPECT_EQ(0, WaitForExit(&run_, 10000));
    EXPECT_EQ("Hello", ClipboardText());
}

TEST_F(Program, OverLongCommandLineIsRefusedThenDefaults)
{
    // Valid options ahead of the excess must not be half taken.
    std::string arguments = "/x=0 /y=0 /m=\"Hi\" /g " + std::string(1100, 'a');
    PutOnClipboard("before");
    ASSERT_TRUE(StartProgram(&run_, folder_, arguments));
    HWND box = WaitForWindow(run_, "確認", false, kWindowWait);
    ASSERT_TRUE(box) << "no message box";
    EXPECT_EQ("コマンドライン指定が長すぎます", MessageBoxText(box));
    EXPECT_TRUE(GetDlgItem(box, IDOK)) << "an OK button";
    EXPECT_FALSE(GetDlgItem(box, IDCANCEL)) << "OK only";
    EXPECT_FALSE(GetWindow(box, GW_OWNER)) << "the box has no owner";
    EXPECT_FALSE(WaitForWindow(run_, kCaption, true, 0)) << "the box comes before the window";
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    HWND main = WaitForWindow(run_, kCaption, true, kWindowWait);
    ASSERT_TRUE(main);
    POINT at = Place(main);
    EXPECT_EQ(120, at.x);
    EXPECT_EQ(64, at.y);
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    EXPECT_EQ(kFileOrder, ComboItems(combo));
    EXPECT_EQ("", WindowText(combo));
    Sleep(300);
    EXPECT_EQ("before", ClipboardText()) << "no automatic copy";
}

TEST_F(Program, FileBrowsePutsTheChosenFileIntoTheField)
{
    std::string memo = folder_.path + "\\my memo.txt";
    ASSERT_TRUE(WriteWholeFile(memo, "memo"));
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    HWND chooser = OpenFileBrowse(main);
    ASSERT_TRUE(chooser) << "the file dialog did not open";
    EXPECT_EQ(main, GetWindow(chooser, GW_OWNER));

    // The file name field of the file dialog takes the full path; OK then
    // chooses it.
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(932, 0, memo.c_str(), -1, wide, MAX_PATH);
    HWND nameField = GetDlgItem(chooser, 0x47c);
    if (!nameField) nameField = GetDlgItem(chooser, 0x480);
    ASSERT_TRUE(nameField) << "no file name field in this file dialog";
    // A combo box (extended or not) takes typing in its edit field.
    for (HWND inner = nameField; (inner = GetWindow(inner, GW_CHILD)) != NULL;) {
        nameField = inner;
    }
    SendMessageW(nameField, WM_SETTEXT, 0, (LPARAM)wide);
    PostMessageW(chooser, WM_COMMAND, IDOK, 0);

    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    std::string field;
    for (int i = 0; i < 100 && field.empty(); ++i) {
        Sleep(50);
        field = WindowText(combo);
    }
    EXPECT_EQ("/f=\"" + memo + "\"", field);
    EXPECT_FALSE(IsWindow(chooser));

    // Choosing puts it in the field; the copy button copies it.
    EXPECT_EQ("memo", CopyByButton(main));
}

TEST_F(Program, CancelledFileBrowseChangesNothing)
{
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    SendMessageW(combo, WM_SETTEXT, 0, (LPARAM)L"typed");
    HWND chooser = OpenFileBrowse(main);
    ASSERT_TRUE(chooser);
    PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 100 && IsWindow(chooser); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(chooser));
    EXPECT_EQ("typed", WindowText(combo));
}

// The footing of every other test here: the system code page is the one
// the session named (scripts/wine-session.sh), so that a failure under
// 1252 or 65001 is the program's and not a session that fell back to 932.
TEST(Session, SystemCodePageIsTheOneTheSessionNamed)
{
    char named[16] = "";
    DWORD length = GetEnvironmentVariableA("WINE_CODEPAGE", named, sizeof named);
    UINT expected = length > 0 && length < sizeof named ? (UINT)atoi(named) : 932;
    EXPECT_EQ(expected, GetACP());
}

}  // namespace
