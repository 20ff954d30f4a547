// The main dialog in-process over the program's real template: what its
// start leaves behind, in which order, and its nested commands. The
// dialog runs modeless in the test thread; the tests pump its messages.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "app_state.h"
#include "command_line.h"
#include "main_dialog.h"
#include "messages.h"
#include "resource.h"
#include "test_support.h"

namespace {

std::string ComboEditText(HWND dialog)
{
    return WindowText(GetDlgItem(dialog, IDC_CLIP_COMBO));
}

std::vector<std::string> Items(HWND dialog)
{
    return ComboItems(GetDlgItem(dialog, IDC_CLIP_COMBO));
}

// Handles what the dialog posted to itself, and whatever that posted in
// turn, until no message is left (or, should messages never stop coming,
// five seconds have passed). A message box that a handler shows runs its
// own loop inside it, so the box is over too.
void Pump(HWND dialog)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < 5000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// Closes the first dialog of this process other than `main` that shows up
// (the editor or the shortcut maker, run modally from the main dialog's
// command), pressing `button`; remembers its owner and what the shortcut
// maker's message and name fields held.
struct NestedCloser {
    HWND main;
    int button;
    HWND owner;
    std::string message;
    std::string name;
};

BOOL CALLBACK FindNested(HWND window, LPARAM lParam)
{
    NestedCloser* closer = (NestedCloser*)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (process == GetCurrentProcessId() && window != closer->main &&
        IsWindowVisible(window) && strcmp(className, "#32770") == 0) {
        closer->message = WindowText(GetDlgItem(window, IDC_SC_MESSAGE));
        closer->name = WindowText(GetDlgItem(window, IDC_SC_NAME));
        closer->owner = GetWindow(window, GW_OWNER);
        PostMessageA(window, WM_COMMAND, closer->button, 0);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI CloseNested(void* parameter)
{
    NestedCloser* closer = (NestedCloser*)parameter;
    for (int i = 0; i < 500 && !closer->owner; ++i) {
        Sleep(20);
        EnumWindows(FindNested, (LPARAM)closer);
    }
    return 0;
}

// Sends the main dialog the command that runs a nested dialog modally and
// closes that dialog with `button` from a second thread; closer.owner is
// null when none showed up.
NestedCloser RunNestedDialog(HWND main, int command, int button)
{
    NestedCloser closer = {main, button, NULL, "", ""};
    HANDLE thread = CreateThread(NULL, 0, CloseNested, &closer, 0, NULL);
    SendMessageA(main, WM_COMMAND, command, 0);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return closer;
}

class MainDialog : public testing::Test {
protected:
    void SetUp() override
    {
        m_hInstance = GetModuleHandleA(NULL);
        m_AutoStart = m_AutoExit = m_ListLoaded = 0;
        listPath_ = ProgramFolder() + "\\ClipData.txt";
        // linked_main_list_test.sh makes ClipData.txt a link to the file it names.
        char linked[MAX_PATH] = "";
        const bool isLink = GetEnvironmentVariableA("QUILLAN_LINKED_LIST", linked, MAX_PATH) > 0;
        filePath_ = isLink ? linked : listPath_;
        if (!isLink) DeleteFileA(listPath_.c_str());  // another suite may have left a list
        ASSERT_TRUE(WriteWholeFile(filePath_, "Zeta\r\nGreeting/=\"Good morning\"\r\nAlpha\r\n"));
    }

    void TearDown() override
    {
        if (dialog_) DestroyWindow(dialog_);
        if (filePath_ == listPath_) DeleteFileA(listPath_.c_str());
    }

    // As the entry point starts it: the command line parsed, then the
    // dialog given what a one-click copy before it came to (null: none).
    HWND Start(const char* commandLine, const MainDialogStart* start = nullptr)
    {
        strcpy(m_CmdLine, commandLine);
        ParseCommandLine();
        dialog_ = CreateDialogParamA(m_hInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL,
                                     MainDlgProc, (LPARAM)start);
        EXPECT_TRUE(dialog_ != NULL) << "dialog 101 did not open";
        // Shown without taking the focus from the start; hidden again when
        // the dialog ends, which is how the tests see it end.
        if (dialog_) ShowWindow(dialog_, SW_SHOWNOACTIVATE);
        return dialog_;
    }

    std::string listPath_;
    std::string filePath_;  // the file itself: listPath_, or what its link names
    HWND dialog_ = NULL;
};

const std::vector<std::string> kFileOrder = {"Zeta", "Greeting/=\"Good morning\"", "Alpha"};

TEST_F(MainDialog, StartLearnsPathsPlacesWindowAndLoadsListInFileOrder)
{
    strcpy(m_LinkFolder, "C:\\from an earlier run");
    HWND dialog = Start("/x=33 /y=44");
    ASSERT_TRUE(dialog);

    EXPECT_STREQ("", m_LinkFolder);
    char exePath[MAX_PATH];
    GetModuleFileNameA(NULL, exePath, sizeof exePath);
    EXPECT_STREQ(exePath, m_ExePath);
    EXPECT_STREQ(ProgramFolder().c_str(), m_ExeDir);
    EXPECT_STREQ("main_dialog_test", m_ExeName);

    RECT window;
    GetWindowRect(dialog, &window);
    EXPECT_EQ(33, window.left);
    EXPECT_EQ(44, window.top);
    // The template's size is kept.
    RECT client, units = {0, 0, 298, 111};
    GetClientRect(dialog, &client);
    MapDialogRect(dialog, &units);
    EXPECT_EQ(units.right, client.right);
    EXPECT_EQ(units.bottom, client.bottom);

    char caption[300];
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ("main_dialog_test.exe : 1.07.0  1016  /  Morvask.dll : 1.01.0  1012", caption);

    HANDLE icon = LoadImageA(m_hInstance, MAKEINTRESOURCEA(IDI_QUILLAN), IMAGE_ICON, 0, 0,
                             LR_SHARED);
    EXPECT_TRUE(icon != NULL) << "icon 102 missing";
    EXPECT_EQ((LRESULT)icon, SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));

    EXPECT_EQ(kFileOrder, Items(dialog));
    EXPECT_EQ("", ComboEditText(dialog));
    EXPECT_EQ(1, m_ListLoaded);
    EXPECT_EQ(GetDlgItem(dialog, IDC_BROWSE_TEXT_FILE), GetFocus())
        << "the focus belongs on the first tab stop, the file button";
}

TEST_F(MainDialog, PresetMessageIsShownAfterTheListLoaded)
{
    // Loading the list empties the edit field, so the message must come
    // after it; /g then copies it and the window stays.
    ASSERT_TRUE(PutOnClipboard("before"));
    HWND dialog = Start("/m=\"Hi\" /g");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(kFileOrder, Items(dialog));
    EXPECT_EQ("Hi", ComboEditText(dialog));
    EXPECT_EQ("before", ClipboardAnsiText()) << "the copy waits until the dialog is up";

    Pump(dialog);
    EXPECT_EQ("Hi", ClipboardAnsiText());
    EXPECT_TRUE(IsWindowVisible(dialog)) << "without /e the window stays open";
}

TEST_F(MainDialog, FailedOneClickIsReportedNotTriedAgain)
{
    // The copy before the window failed: the window says so once it is up,
    // with the list and the text, and does not copy or close.
    ASSERT_TRUE(PutOnClipboard("before"));
    const MainDialogStart start = {true, kCopyClipboardFailed};
    BoxAnswerer answerer = {};
    StartBoxAnswerer(&answerer, GetCurrentProcessId());
    HWND dialog = Start("/m=\"x\" /g /e", &start);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(kFileOrder, Items(dialog));
    EXPECT_EQ("x", ComboEditText(dialog));
    Pump(dialog);
    EXPECT_EQ(ShowBoxes({{kTitleFailure, kClipboardFailed, false}}),
              ShowBoxes(StopBoxAnswerer(&answerer)));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ("before", ClipboardAnsiText()) << "the clipboard was tried a second time";
}

TEST_F(MainDialog, MissingListStillCountsAsLoaded)
{
    DeleteFileA(listPath_.c_str());
    HWND dialog = Start("");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(0, (int)SendDlgItemMessageA(dialog, IDC_CLIP_COMBO, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, m_ListLoaded);
}

TEST_F(MainDialog, ExitButtonAndEscapeCloseTheWindow)
{
    HWND dialog = Start("");
    ASSERT_TRUE(dialog);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "IDCANCEL posts WM_CLOSE, it does not end at once";
    Pump(dialog);
    EXPECT_FALSE(IsWindowVisible(dialog));
}

struct ShortcutRow {
    const char* field;
    const char* name;
    const char* message;
};

TEST_F(MainDialog, ShortcutCommandHandsTitleAndMessageOn)
{
    const ShortcutRow rows[] = {
        {"Memo/f=\"C:\\memo.txt\"", "Memo", "/f=C:\\memo.txt"},
        {"Greeting/=\"Good morning\"", "Greeting", "Good morning"},
        {"", "main_dialog_testのショートカット", ""},
    };
    HWND dialog = Start("/m=\"from the command line\"");
    ASSERT_TRUE(dialog);
    for (const ShortcutRow& row : rows) {
        SetDlgItemTextA(dialog, IDC_CLIP_COMBO, row.field);
        NestedCloser nested = RunNestedDialog(dialog, IDC_MAKE_SHORTCUT, IDCANCEL);
        EXPECT_EQ(dialog, nested.owner) << "the shortcut dialog did not open over the main one";
        EXPECT_EQ(row.name, nested.name) << "field: " << row.field;
        EXPECT_EQ(row.message, nested.message) << "field: " << row.field;
        EXPECT_STREQ("from the command line", m_ClipText) << "the command line's text changed";
    }
}

TEST_F(MainDialog, AfterTheEditorTheListShowsTheFileAsItIsNow)
{
    HWND dialog = Start("");
    ASSERT_TRUE(dialog);
    // The file changes behind the main window's back. Cancelled, the
    // editor leaves the main window to show the file as it is now, the
    // field kept; saved, the list is reloaded and the field emptied.
    // (Before issue "The list is shared", only a save reloaded it.)
    const struct {
        int button;
        std::vector<std::string> items;
        const char* field;
    } rows[] = {
        {IDCANCEL, {"One", "Two"}, "typed"},
        {IDOK, {"One", "Two"}, ""},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteWholeFile(listPath_, "One\r\nTwo\r\n"));
        SetDlgItemTextA(dialog, IDC_CLIP_COMBO, "typed");
        EXPECT_EQ(dialog, RunNestedDialog(dialog, IDC_EDIT_LIST, row.button).owner)
            << "the editor did not open over the main window";
        EXPECT_EQ(row.items, Items(dialog)) << "editor ended with " << row.button;
        EXPECT_EQ(row.field, ComboEditText(dialog)) << "editor ended with " << row.button;
    }
}

// The list drops down with the file as it is now: also after a rewrite of
// the same size and time (a program that puts the time back), and after a
// change made to the file a link names (linked_main_list_test.sh runs this
// with ClipData.txt a link).
TEST_F(MainDialog, ListDropsDownWithEveryChangeOfItsFile)
{
    HWND dialog = Start("");
    ASSERT_TRUE(dialog);
    ASSERT_EQ(kFileOrder, Items(dialog));
    HANDLE file = CreateFileA(filePath_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                              OPEN_EXISTING, 0, NULL);
    const char same[] = "Beta\r\nGreeting/=\"Good evening\"\r\nGamma\r\n";
    FILETIME written;
    DWORD wrote = 0;
    ASSERT_TRUE(GetFileTime(file, NULL, NULL, &written) &&
                WriteFile(file, same, sizeof same - 1, &wrote, NULL) && wrote == sizeof same - 1 &&
                SetFileTime(file, NULL, NULL, &written));
    CloseHandle(file);
    HWND combo = GetDlgItem(dialog, IDC_CLIP_COMBO);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CLIP_COMBO, CBN_DROPDOWN), (LPARAM)combo);
    EXPECT_EQ((std::vector<std::string>{"Beta", "Greeting/=\"Good evening\"", "Gamma"}),
              Items(dialog)) << "same size and time";
    ASSERT_TRUE(WriteWholeFile(filePath_, "Beta\r\nDelta\r\n"));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CLIP_COMBO, CBN_DROPDOWN), (LPARAM)combo);
    EXPECT_EQ((std::vector<std::string>{"Beta", "Delta"}), Items(dialog)) << "a line added";
}

}  // namespace
