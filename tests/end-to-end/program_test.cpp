// The real Quillan.exe, started in a folder of its own with a command line,
// watched and driven from outside as a user would.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "messages.h"
#include "resource.h"
#include "test_support.h"

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

    // Opens the editor from the main window and adds `message` at the end.
    HWND EditorWithEntryAdded(HWND main, const wchar_t* message)
    {
        Press(main, IDC_EDIT_LIST);
        HWND editor = WaitForWindow(run_, "クリップメッセージ編集", false, kWindowWait);
        EXPECT_TRUE(editor) << "the editor did not appear";
        if (!editor) return nullptr;
        SetDlgItemTextW(editor, IDC_ED_MESSAGE, message);
        SendMessageW(editor, WM_COMMAND, IDC_ED_ADD, 0);
        return editor;
    }

    // Presses the copy button and waits until the copy is over: the
    // program put something on the clipboard (it owns it, with a new
    // sequence number) and its window answers again. A copy that puts
    // nothing there is waited for kWindowWait.
    static void CopyAndWait(HWND main)
    {
        DWORD before = GetClipboardSequenceNumber();
        Press(main, IDOK);
        WaitForClipboardChange(before, main, kWindowWait);
        WaitForWindowAnswer(main, kWindowWait);
    }

    // Presses the copy button and gives the clipboard's text after it.
    static std::string CopyByButton(HWND main)
    {
        CopyAndWait(main);
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
    // The copy comes before any dialog: none of the program's, not even a
    // hidden one, exists at any moment of the run.
    bool dialogSeen = false;
    while (!dialogSeen && WaitForExit(&run_, 0) == -1) {
        dialogSeen = FindDialog(run_.process.dwProcessId, NULL, 0, true) != NULL;
    }
    EXPECT_FALSE(dialogSeen) << "a one-click copy made a dialog";
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
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    EXPECT_EQ(kFileOrder, ComboItems(combo));
    EXPECT_EQ("/f=\"C:\\missing.txt\"", WindowText(combo)) << "the reference stays to be mended";
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
    // Shown only once its first messages were handled; once it answers, it
    // is past anything it posted itself.
    WaitForWindowAnswer(main, kWindowWait);
    EXPECT_EQ("before", ClipboardText()) << "no automatic copy";
}

TEST_F(Program, FileBrowsePutsTheChosenFileIntoTheField)
{
    ASSERT_TRUE(CreateDirectoryA((folder_.path + "\\elsewhere").c_str(), NULL));
    std::string memo = folder_.path + "\\elsewhere\\my memo.txt";
    ASSERT_TRUE(WriteWholeFile(memo, "memo"));
    ASSERT_TRUE(WriteWholeFile(folder_.path + "\\relative.txt", "beside the program"));
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
    // The chosen file goes into the field once the chooser has gone, before
    // the main window answers again.
    WaitForWindowGone(chooser, kWindowWait);
    WaitForWindowAnswer(main, kWindowWait);
    std::string field = WindowText(combo);
    EXPECT_EQ("/f=\"" + memo + "\"", field);
    EXPECT_FALSE(IsWindow(chooser));

    // Choosing puts it in the field; the copy button copies it.
    EXPECT_EQ("memo", CopyByButton(main));

    // Browsing elsewhere left the current folder where it was: a relative
    // reference still names the file beside the program.
    SendMessageW(combo, WM_SETTEXT, 0, (LPARAM)L"/f=\"relative.txt\"");
    EXPECT_EQ("beside the program", CopyByButton(main));
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
    WaitForWindowGone(chooser, 5000);
    EXPECT_FALSE(IsWindow(chooser));
    WaitForWindowAnswer(main, kWindowWait);
    EXPECT_EQ("typed", WindowText(combo));
}

// Another window of this process becomes the active one, then the
// program's again, as when the user switches to another program and back.
// False when the system did not let this process switch (Windows may keep
// a background process from taking the foreground; Wine lets it).
bool SwitchAwayAndBack(HWND main)
{
    HWND other = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                                 NULL, NULL, NULL, NULL);
    SetForegroundWindow(other);
    for (int i = 0; i < 50 && GetForegroundWindow() != other; ++i) Sleep(10);
    const bool away = GetForegroundWindow() == other;
    SetForegroundWindow(main);
    for (int i = 0; i < 50 && GetForegroundWindow() != main; ++i) Sleep(10);
    DestroyWindow(other);
    return away && GetForegroundWindow() == main;
}

// The list file changes while the window is open (another program, a sync
// client, the user's text editor): before the list drops down, and when the
// window is activated again, it shows the file as it is now. What the field
// holds stays, and so does the picked entry where the list still holds it.
TEST_F(Program, ListShowsTheFileAsItIsNowKeepingTheField)
{
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    ASSERT_EQ(kFileOrder, ComboItems(combo));
    const std::string list = folder_.path + "\\ClipData.txt";

    // Picked, then changed on disk: the list drops down with the file's
    // lines, the same entry picked at its new place.
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    ASSERT_TRUE(WriteWholeFile(list, "New\r\nBeta\r\nGreeting/=\"Good morning\"\r\n"));
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);  // returns once the list is up
    EXPECT_EQ("[New][Beta][Greeting/=\"Good morning\"]", Show(ComboItems(combo)));
    EXPECT_EQ(2, (int)SendMessageW(combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ("Greeting/=\"Good morning\"", WindowText(combo));
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ("Good morning", CopyByButton(main));

    // Typed, then changed on disk: back in the window, the file's lines and
    // the typed text.
    SendMessageW(combo, WM_SETTEXT, 0, (LPARAM)L"typed text");
    ASSERT_TRUE(WriteWholeFile(list, "Only\r\n"));
    if (!SwitchAwayAndBack(main)) {
        printf("note: the window could not be activated from here; its list is dropped instead\n");
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    }
    std::string items;
    for (int i = 0; i < 100 && (items = Show(ComboItems(combo))) != "[Only]"; ++i) Sleep(20);
    EXPECT_EQ("[Only]", items) << "activated, the window shows the list as it was";
    EXPECT_EQ("typed text", WindowText(combo));
    EXPECT_EQ("typed text", CopyByButton(main));

    // Deleted: an empty list, and nothing said.
    ASSERT_TRUE(DeleteFileA(list.c_str()));
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ("", Show(ComboItems(combo)));
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ("typed text", WindowText(combo));
    EXPECT_FALSE(WaitForWindow(run_, kTitleFailure, false, 300)) << "a missing list is no error";
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

namespace {

// The clipboard's CF_UNICODETEXT, or a marker saying why there is none.
std::wstring ClipboardWide()
{
    std::wstring text = L"(the clipboard could not be opened)";
    for (int i = 0; i < 50 && !OpenClipboard(NULL); ++i) Sleep(20);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* locked = data ? (const wchar_t*)GlobalLock(data) : NULL;
    text = locked ? locked : L"(no Unicode text)";
    if (locked) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

std::wstring FieldWide(HWND dialog, int id)
{
    wchar_t text[1024] = L"";
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

const char kShortcutCaption[] = "デイストップにショートカットを作成する";

// A list in UTF-8 holding characters that code page 932 lacks: shown,
// copied, put into a one-click shortcut and copied again from it, and saved
// back unchanged.
TEST_F(Program, Utf8ListIsShownCopiedSavedAndPutIntoAShortcut)
{
    const std::string list = u8"Uni/=\"𠮷 é © 😀\"\r\nplain\r\n";
    const std::wstring text = L"𠮷 é © 😀";
    ASSERT_TRUE(WriteWholeFile(folder_.path + "\\ClipData.txt", list));
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    EXPECT_EQ((std::vector<std::wstring>{L"Uni/=\"" + text + L"\"", L"plain"}), ComboItemsWide(combo));

    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    CopyAndWait(main);
    EXPECT_EQ(text, ClipboardWide());

    // The shortcut maker proposes the entry; the shortcut carries it whole.
    Press(main, IDC_MAKE_SHORTCUT);
    HWND maker = WaitForWindow(run_, kShortcutCaption, false, kWindowWait);
    ASSERT_TRUE(maker) << "the shortcut dialog did not open";
    EXPECT_EQ(text, FieldWide(maker, IDC_SC_MESSAGE));
    EXPECT_EQ(L"Uni", FieldWide(maker, IDC_SC_NAME));
    SetDlgItemTextW(maker, IDC_SC_FOLDER, Wide(folder_.path).c_str());
    SendDlgItemMessageW(maker, IDC_SC_AUTO_START, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageW(maker, IDC_SC_AUTO_EXIT, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(maker, WM_COMMAND, IDOK, 0);
    PostMessageW(maker, WM_COMMAND, IDCANCEL, 0);

    wchar_t arguments[1024] = L"";
    IShellLinkW* link = NULL;
    IPersistFile* file = NULL;
    CoInitialize(NULL);  // already initialised is as good
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   (void**)&link))) {
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
            if (SUCCEEDED(file->Load((Wide(folder_.path) + L"\\Uni.lnk").c_str(), STGM_READ))) {
                link->GetArguments(arguments, 1024);
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    EXPECT_EQ(L"/m=\"" + text + L"\" /g /e", std::wstring(arguments));

    // The one-click start from those arguments copies the same text.
    PutOnClipboard("before");
    std::wstring line = L"\"" + Wide(folder_.path) + L"\\Quillan.exe\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    ProgramRun oneClick = {};
    ASSERT_TRUE(CreateProcessW(NULL, &line[0], NULL, NULL, FALSE, 0, NULL,
                               Wide(folder_.path).c_str(), &startup, &oneClick.process));
    oneClick.started = true;
    EXPECT_EQ(0, WaitForExit(&oneClick, kWindowWait));
    FinishProgram(&oneClick);
    EXPECT_EQ(text, ClipboardWide());

    // Saved without an edit: the same bytes, still UTF-8.
    Press(main, IDC_EDIT_LIST);
    HWND editor = WaitForWindow(run_, "クリップメッセージ編集", false, kWindowWait);
    ASSERT_TRUE(editor);
    PostMessageW(editor, WM_COMMAND, IDOK, 0);
    WaitForWindowGone(editor, 5000);
    // The main window reloads the saved list, holding it to itself: once it
    // answers, the reload is over and the file can be read.
    SendMessageW(main, WM_NULL, 0, 0);
    EXPECT_EQ(list, ReadWholeFile(folder_.path + "\\ClipData.txt"));
}

// A character that a code page 932 list cannot hold is never saved as '?':
// the editor asks; No writes nothing and keeps the edits, Yes writes the
// whole list in UTF-8.
TEST_F(Program, CharacterBeyondCodePage932AsksBeforeTheListBecomesUtf8)
{
    ASSERT_TRUE(WriteWholeFile(folder_.path + "\\ClipData.txt", "表ソ\r\n"));
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    HWND editor = EditorWithEntryAdded(main, L"😀");
    ASSERT_TRUE(editor);

    for (int answer : {IDNO, IDYES}) {
        BoxAnswerer watch = {};
        StartBoxAnswerer(&watch, run_.process.dwProcessId, answer);
        PostMessageW(editor, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitForBoxes(&watch, 1, kWindowWait)) << "no question";
        // Past the question: No leaves the save, which then answers; Yes
        // saves and closes the editor, and the main window reloads.
        if (answer == IDNO || !WaitForWindowGone(editor, 5000)) {
            WaitForWindowAnswer(editor, kWindowWait);
        } else {
            WaitForWindowAnswer(main, kWindowWait);
        }
        std::vector<AnsweredBox> boxes = StopBoxAnswerer(&watch);
        ASSERT_EQ(1u, boxes.size()) << ShowBoxes(boxes);
        EXPECT_EQ(kTitleConfirm, boxes[0].title);
        EXPECT_EQ(kClipListUtf8Question, boxes[0].text);
        if (answer == IDNO) {
            EXPECT_TRUE(IsWindow(editor)) << "No must keep the editor and its edits";
            EXPECT_EQ("表ソ\r\n", ReadWholeFile(folder_.path + "\\ClipData.txt"));
        }
    }
    WaitForWindowGone(editor, 5000);
    EXPECT_FALSE(IsWindow(editor));
    SendMessageW(main, WM_NULL, 0, 0);  // the main window's reload is over
    // 表ソ and the emoji, now in UTF-8, with the mark that keeps the list
    // from ever loading as code page 932 again.
    EXPECT_EQ("\xEF\xBB\xBF\xE8\xA1\xA8\xE3\x82\xBD\r\n\"\xF0\x9F\x98\x80\"\r\n",
              ReadWholeFile(folder_.path + "\\ClipData.txt"));
}

// A short code page 932 list of half-width katakana pairs is valid UTF-8 as
// well (ﾊｲ is CA B2, UTF-8 ʲ): it is read, copied and saved as code page
// 932, and an entry added goes in as code page 932 too.
TEST_F(Program, HalfWidthKatakanaListIsReadAsCodePage932)
{
    const std::string list = "\xCA\xB2\r\n\xC8\xBA\r\n";  // ﾊｲ, ﾈｺ
    ASSERT_TRUE(WriteWholeFile(folder_.path + "\\ClipData.txt", list));
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    EXPECT_EQ((std::vector<std::wstring>{L"\uFF8A\uFF72", L"\uFF88\uFF7A"}), ComboItemsWide(combo));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    Press(main, IDOK);
    Sleep(500);
    EXPECT_EQ(L"\uFF8A\uFF72", ClipboardWide());

    Press(main, IDC_EDIT_LIST);
    HWND editor = WaitForWindow(run_, "クリップメッセージ編集", false, kWindowWait);
    ASSERT_TRUE(editor);
    SetDlgItemTextW(editor, IDC_ED_MESSAGE, L"\u732B");  // 猫, 94 4C
    SendMessageW(editor, WM_COMMAND, IDC_ED_ADD, 0);
    PostMessageW(editor, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 500 && IsWindow(editor); ++i) Sleep(10);
    EXPECT_FALSE(IsWindow(editor));
    SendMessageW(main, WM_NULL, 0, 0);  // the main window's reload is over
    EXPECT_EQ(list + "\"\x94\x4C\"\r\n", ReadWholeFile(folder_.path + "\\ClipData.txt"));
}

// A refusal's text as the program words it: the field and the character.
std::string Refusal(const char* format, const char* field, const char* mark)
{
    char text[1024];
    wsprintfA(text, format, field, mark);
    return "[" + std::string(kTitleFailure) + ":" + text + "(owned)]";
}

// The list format has no escape for a double quote: such an entry would be
// stored cut. The editor names the character and adds nothing.
TEST_F(Program, EditorRefusesAnEntryThatWouldNotReadBackAsTyped)
{
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    Press(main, IDC_EDIT_LIST);
    HWND editor = WaitForWindow(run_, "クリップメッセージ編集", false, kWindowWait);
    ASSERT_TRUE(editor);
    BoxAnswerer watch = {};
    StartBoxAnswerer(&watch, run_.process.dwProcessId);
    SetDlgItemTextW(editor, IDC_ED_MESSAGE, Wide("say \"hi\" now").c_str());
    SendMessageW(editor, WM_COMMAND, IDC_ED_ADD, 0);  // returns once the box is answered
    EXPECT_EQ(Refusal(kEntryCharRefused, kFieldMessage, "\""), ShowBoxes(StopBoxAnswerer(&watch)));
    EXPECT_EQ(kFileOrder, ListItems(GetDlgItem(editor, IDC_ED_LIST))) << "an entry was added";
    PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
}

// The command line finds options anywhere, also inside the quoted message:
// this shortcut would copy win.ini. It is refused, and nothing is written.
TEST_F(Program, ShortcutMakerRefusesArgumentsThatWouldNotReadBackAsShown)
{
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    Press(main, IDC_MAKE_SHORTCUT);
    HWND maker = WaitForWindow(run_, kShortcutCaption, false, kWindowWait);
    ASSERT_TRUE(maker) << "the shortcut dialog did not open";
    SetDlgItemTextW(maker, IDC_SC_FOLDER, Wide(folder_.path).c_str());
    SetDlgItemTextW(maker, IDC_SC_NAME, L"Tip");
    SetDlgItemTextW(maker, IDC_SC_MESSAGE, L"see /f=C:\\windows\\win.ini ok");
    BoxAnswerer watch = {};
    StartBoxAnswerer(&watch, run_.process.dwProcessId);
    SendMessageW(maker, WM_COMMAND, IDOK, 0);  // returns once the box is answered
    EXPECT_EQ(Refusal(kShortcutCharRefused, kFieldShortcutMessage, "/f="),
              ShowBoxes(StopBoxAnswerer(&watch)));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder_.path + "\\Tip.lnk").c_str()));
}

// A list as Notepad writes it (no CR LF after the last line) with a line
// longer than any text of the program survives an editor save with one
// added entry: every byte stays, the last line gets its CR LF.
TEST_F(Program, NotepadListWithALongLineSurvivesAnEditorSave)
{
    const std::string longLine = "Long/=\"" + std::string(1200, 'x') + "\"";
    const std::string list = "first\r\n" + longLine + "\r\n" + "last";
    ASSERT_TRUE(WriteWholeFile(folder_.path + "\\ClipData.txt", list));
    HWND main = StartAndWait("");
    ASSERT_TRUE(main);
    Press(main, IDC_EDIT_LIST);
    HWND editor = WaitForWindow(run_, "クリップメッセージ編集", false, kWindowWait);
    ASSERT_TRUE(editor);
    EXPECT_EQ(3, (int)SendDlgItemMessageW(editor, IDC_ED_LIST, LB_GETCOUNT, 0, 0))
        << "the last line is an item too";
    SetDlgItemTextW(editor, IDC_ED_MESSAGE, L"new");
    SendMessageW(editor, WM_COMMAND, IDC_ED_ADD, 0);
    PostMessageW(editor, WM_COMMAND, IDOK, 0);
    WaitForWindowGone(editor, 5000);
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(list + "\r\n\"new\"\r\n", ReadWholeFile(folder_.path + "\\ClipData.txt"));
}

// A code page 932 list holding a line whose bytes are no text (a lone lead
// byte) never moves to UTF-8 in silence: the editor names the line and
// writes nothing until it is edited or deleted.
// A line moves to UTF-8 only as text that maps both ways exactly and still
// fits the limit there; otherwise the save names such lines and writes
// nothing.
TEST_F(Program, LineThatIsNoTextKeepsTheListFromBecomingUtf8)
{
    std::string long932;  // 1,000 bytes here, 1,500 in UTF-8
    for (int i = 0; i < 500; ++i) long932 += "\x82\xA0";
    struct Row { const char* what; std::string list; const char* notice; };
    const Row rows[] = {
        {"a lone lead byte", "ok\r\nab\x82\r\n", kClipListNoTextLines},
        {"a pair that stands for no character", "ok\r\n\x85\x40\r\n", kClipListNoTextLines},
        {"a line that would pass the limit", "ok\r\n" + long932 + "\r\n", kClipListLongInUtf8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(WriteWholeFile(folder_.path + "\\ClipData.txt", row.list));
        HWND main = StartAndWait("");
        ASSERT_TRUE(main);
        HWND editor = EditorWithEntryAdded(main, L"😀");
        ASSERT_TRUE(editor);

        BoxAnswerer watch = {};
        StartBoxAnswerer(&watch, run_.process.dwProcessId, IDOK);
        PostMessageW(editor, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitForBoxes(&watch, 1, kWindowWait)) << "no notice";
        WaitForWindowAnswer(editor, kWindowWait);  // past the notice, the save is over
        std::vector<AnsweredBox> boxes = StopBoxAnswerer(&watch);
        ASSERT_EQ(1u, boxes.size()) << ShowBoxes(boxes);
        EXPECT_EQ(kTitleConfirm, boxes[0].title);
        // The notice up to its count: which kind of line, and how many.
        const std::string kind(row.notice, strstr(row.notice, "%d") - row.notice);
        EXPECT_EQ(kind + "1 ", boxes[0].text.substr(0, kind.size() + 2)) << boxes[0].text;
        EXPECT_TRUE(IsWindow(editor)) << "the edits stay in the editor";
        EXPECT_EQ(row.list, ReadWholeFile(folder_.path + "\\ClipData.txt"));
        PostMessageW(editor, WM_COMMAND, IDCANCEL, 0);
        FinishProgram(&run_);
    }
}

}  // namespace
