// The clip list editor from its real template under Wine. Single commands
// run on a modeless instance in the test thread; the endings (save, cancel,
// close box) run the modal dialog while a second thread drives it and
// answers its message boxes, found by title.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app_state.h"
#include "clip_editor.h"
#include "messages.h"
#include "resource.h"
#include "test_support.h"

namespace {

using Items = std::vector<std::string>;

const char kEditorCaption[] = "クリップメッセージ編集";
const int kMessageBoxText = 0xFFFF;  // the static text of a message box

// How long a window of the test is waited for, to come or to go.
const int kWindowWait = 5000;

// A visible dialog of this process (the editor, its message boxes, the
// file dialog: all shown by the test thread) with the given caption, once
// it is there.
HWND WaitForOwnDialog(const char* caption)
{
    return WaitForDialog(GetCurrentProcessId(), caption, 0, kWindowWait);
}

// What a message box of the test thread said and who owned it; `answer`
// is the button pressed. Empty text when no such box came up.
struct BoxSeen { std::string text; HWND owner = nullptr; };

BoxSeen AnswerMessageBox(const char* title, int answer,
                         const std::function<void()>& whileShown = nullptr)
{
    BoxSeen seen;
    HWND box = WaitForOwnDialog(title);
    if (!box) return seen;
    if (whileShown) whileShown();
    seen.text = WindowText(GetDlgItem(box, kMessageBoxText));
    seen.owner = GetWindow(box, GW_OWNER);
    PostMessageA(box, WM_COMMAND, answer, 0);
    WaitForWindowGone(box, kWindowWait);
    return seen;
}

class ClipEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hInstance = GetModuleHandleA(nullptr);
        std::string folder;
        ASSERT_TRUE(MakeScratchFolder("editor", &folder)) << "no scratch folder";
        ASSERT_LT(folder.size(), sizeof m_ExeDir) << folder;
        lstrcpynA(m_ExeDir, folder.c_str(), sizeof m_ExeDir);
        file_ = folder + "\\ClipData.txt";
    }

    void TearDown() override
    {
        if (dialog_) DestroyWindow(dialog_);
        // Whatever the save left in the folder goes with it.
        EXPECT_TRUE(RemoveTree(m_ExeDir)) << "test folder left behind: " << m_ExeDir;
    }

    void WriteClipData(const std::string& bytes) { ASSERT_TRUE(WriteWholeFile(file_, bytes)); }
    std::string ReadClipData() { return ReadWholeFile(file_); }

    // A modeless editor over the template, its list loaded from a file of
    // `items`.
    HWND Open(const Items& items, int selected = -1)
    {
        std::string lines;
        for (const std::string& item : items) lines += item + "\r\n";
        if (!items.empty()) WriteClipData(lines);
        dialog_ = CreateDialogParamA(m_hInstance, MAKEINTRESOURCEA(IDD_CLIP_EDITOR), nullptr,
                                     ClipEditorDlgProc, (LPARAM)&state_);
        EXPECT_NE(dialog_, nullptr) << "dialog 113 not created, error " << GetLastError();
        List(LB_SETCURSEL, selected, 0);
        return dialog_;
    }

    LRESULT List(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return SendDlgItemMessageA(dialog_, IDC_ED_LIST, message, wParam, lParam);
    }

    Items ListItems(HWND dialog)
    {
        Items items;
        int count = (int)SendDlgItemMessageA(dialog, IDC_ED_LIST, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            // Wide: Wine's ANSI thunk would overrun on items of 512 characters and more.
            std::wstring wide(SendDlgItemMessageW(dialog, IDC_ED_LIST, LB_GETTEXTLEN, i, 0), L'\0');
            SendDlgItemMessageW(dialog, IDC_ED_LIST, LB_GETTEXT, i, (LPARAM)&wide[0]);
            std::string text(wide.size() * 2 + 1, '\0');
            WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], (int)text.size(),
                                nullptr, nullptr);
            items.push_back(text.c_str());
        }
        return items;
    }

    int Selected() { return (int)List(LB_GETCURSEL, 0, 0); }
    std::string Field(int id) { return WindowText(GetDlgItem(dialog_, id)); }
    void SetFields(const char* title, const char* message)
    {
        SetDlgItemTextA(dialog_, IDC_ED_TITLE, title);
        SetDlgItemTextA(dialog_, IDC_ED_MESSAGE, message);
    }
    void Press(int command) { SendMessageA(dialog_, WM_COMMAND, command, 0); }
    // Presses a command that is to refuse with a message box owned by the
    // editor; gives what the box said.
    std::string PressRefused(int command)
    {
        BoxSeen seen;
        std::atomic<bool> answered(false);
        std::thread answerer([&] {
            seen = AnswerMessageBox(kTitleFailure, IDOK);
            answered = true;
        });
        Press(command);
        // The answerer reads this thread's window captions, which this
        // thread must answer: when no box came up, a plain join would wait
        // for ever instead of letting the expectation below fail.
        while (!answered) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(5);
        }
        answerer.join();
        EXPECT_EQ(seen.owner, dialog_) << "the refusal must stand over the editor";
        return seen.text;
    }
    void Close()
    {
        DestroyWindow(dialog_);
        dialog_ = nullptr;
    }

    // Runs the editor modally while `drive` works it from a second thread.
    // Should the driver leave it open, it is cancelled so that no test hangs.
    INT_PTR RunModal(const std::function<void(HWND)>& drive)
    {
        std::thread driver([&] {
            HWND dialog = WaitForOwnDialog(kEditorCaption);
            if (!dialog) {
                ADD_FAILURE() << "the editor did not come up";
                return;
            }
            drive(dialog);
            if (!WaitForWindowGone(dialog, kWindowWait)) {
                ADD_FAILURE() << "the editor was still open when the driver finished";
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        });
        INT_PTR result = DialogBoxParamA(m_hInstance, MAKEINTRESOURCEA(IDD_CLIP_EDITOR),
                                         nullptr, ClipEditorDlgProc, (LPARAM)&state_);
        driver.join();
        return result;
    }

    HWND dialog_ = nullptr;
    ClipEditorState state_;
    std::string file_;
};

// Reads a text of a dialog template (a string, or 0xFFFF and an ordinal,
// returned as "#n") and steps past it.
std::string TemplateText(const WORD*& at)
{
    if (*at == 0xFFFF) {
        std::string ordinal = "#" + std::to_string(at[1]);
        at += 2;
        return ordinal;
    }
    char text[512];
    int length = (int)wcslen((const wchar_t*)at);
    text[WideCharToMultiByte(932, 0, (const wchar_t*)at, length, text, sizeof text - 1,
                             nullptr, nullptr)] = '\0';
    at += length + 1;
    return text;
}

TEST_F(ClipEditorTest, TemplateHoldsItsControlsInTabOrder)
{
    struct Control { DWORD style; int x, y, cx, cy, id; const char* cls; const char* text; };
    const DWORD child = WS_CHILD | WS_VISIBLE, button = child | WS_TABSTOP;
    const DWORD edit = child | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
    const Control expected[] = {
        {button | BS_DEFPUSHBUTTON, 195, 50, 50, 14, IDOK, "#128", "保存・終了"},
        {button, 195, 70, 50, 14, IDCANCEL, "#128", "ｷｬﾝｾﾙ"},
        {child | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER,
         5, 70, 185, 89, IDC_ED_LIST, "#131", ""},
        {edit, 10, 25, 75, 14, IDC_ED_TITLE, "#129", ""},
        {edit, 90, 25, 155, 14, IDC_ED_MESSAGE, "#129", ""},
        {button, 5, 51, 40, 14, IDC_ED_EDIT, "#128", "↑編集"},
        {button, 50, 51, 55, 14, IDC_ED_OVERWRITE, "#128", "↓上書き更新"},
        {button, 195, 95, 25, 14, IDC_ED_DELETE, "#128", "削除"},
        {button, 110, 50, 50, 15, IDC_ED_ADD, "#128", "↓追加・挿入"},
        {child | WS_GROUP, 15, 15, 23, 8, 0xFFFF, "#130", "タイトル"},
        {child | WS_GROUP, 95, 15, 99, 8, 0xFFFF, "#130", "クリップメッセージ ( 「\"\"」は不要 )"},
        {button, 195, 125, 25, 14, IDC_ED_MOVE_UP, "#128", "上へ"},
        {button, 195, 145, 25, 14, IDC_ED_MOVE_DOWN, "#128", "下へ"},
        {button | TBS_VERT | TBS_BOTH | TBS_NOTICKS, 225, 90, 15, 70, IDC_ED_SLIDER,
         "msctls_trackbar32", "Slider1"},
        {button, 196, 10, 48, 14, IDC_ED_BROWSE, "#128", "ファイル参照"},
    };
    HRSRC found = FindResourceA(m_hInstance, MAKEINTRESOURCEA(IDD_CLIP_EDITOR), (LPCSTR)RT_DIALOG);
    ASSERT_NE(found, nullptr);
    auto* dialog = (const DLGTEMPLATE*)LockResource(LoadResource(m_hInstance, found));
    EXPECT_EQ(dialog->style, (DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(dialog->cdit, (WORD)(sizeof expected / sizeof expected[0]));
    EXPECT_EQ(std::vector<int>({dialog->x, dialog->y, dialog->cx, dialog->cy}),
              std::vector<int>({0, 0, 249, 169}));
    const WORD* at = (const WORD*)(dialog + 1);
    EXPECT_EQ(TemplateText(at), "") << "menu";
    EXPECT_EQ(TemplateText(at), "") << "class";
    EXPECT_EQ(TemplateText(at), kEditorCaption);
    EXPECT_EQ(*at++, 9) << "font size";
    EXPECT_EQ(TemplateText(at), "ＭＳ Ｐゴシック");

    for (const Control& want : expected) {
        at = (const WORD*)(((UINT_PTR)at + 3) & ~(UINT_PTR)3);
        auto* item = (const DLGITEMTEMPLATE*)at;
        SCOPED_TRACE(want.text);
        EXPECT_EQ(item->style, want.style) << "control " << want.id;
        EXPECT_EQ(std::vector<int>({item->x, item->y, item->cx, item->cy, item->id}),
                  std::vector<int>({want.x, want.y, want.cx, want.cy, want.id}));
        at = (const WORD*)(item + 1);
        std::string cls = TemplateText(at);
        EXPECT_STRCASEEQ(cls.c_str(), want.cls);
        EXPECT_EQ(TemplateText(at), want.text);
        at += 1 + *at / sizeof(WORD);  // creation data
    }

    // The font reaches the dialog itself.
    HWND window = Open({});
    ASSERT_NE(window, nullptr);
    LOGFONTA font;
    GetObjectA((HFONT)SendMessageA(window, WM_GETFONT, 0, 0), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "ＭＳ Ｐゴシック");
}

TEST_F(ClipEditorTest, EditSplitsTheSelectedEntryIntoBothFields)
{
    struct Case { const char* entry; const char* title; const char* message; };
    const Case cases[] = {
        {"Greeting/=\"Good morning\"", "Greeting", "Good morning"},
        {"\"Good morning\"", "", "Good morning"},  // no title part: title emptied
        {"", "", ""},                              // empty item: both emptied
        {"Memo/f=\"C:\\memo.txt\"", "Memo", "/f=C:\\memo.txt"},
        {"/f=\"C:\\memo.txt\"", "", "/f=C:\\memo.txt"},
    };
    for (const Case& c : cases) {
        Open({"first", c.entry, "last"}, 1);
        SetFields("old title", "old message");
        Press(IDC_ED_EDIT);
        EXPECT_EQ(Field(IDC_ED_TITLE), c.title) << c.entry;
        EXPECT_EQ(Field(IDC_ED_MESSAGE), c.message) << c.entry;
        EXPECT_EQ(ListItems(dialog_), (Items{"first", c.entry, "last"}));
        EXPECT_EQ(Selected(), 1);
        Close();
    }

    Open({"\"A\""});
    SetFields("t", "m");
    Press(IDC_ED_EDIT);  // nothing selected
    EXPECT_EQ(Field(IDC_ED_TITLE), "t");
    EXPECT_EQ(Field(IDC_ED_MESSAGE), "m");
}

TEST_F(ClipEditorTest, AddAppendsOrInsertsBeforeTheSelection)
{
    Open({"A", "B"});
    SetFields("", "new");
    Press(IDC_ED_ADD);
    EXPECT_EQ(ListItems(dialog_), (Items{"A", "B", "\"new\""}));
    EXPECT_EQ(Selected(), LB_ERR);

    List(LB_SETCURSEL, 1, 0);
    SetFields("T", "x");
    Press(IDC_ED_ADD);
    EXPECT_EQ(ListItems(dialog_), (Items{"A", "T/=\"x\"", "B", "\"new\""}));
    EXPECT_EQ(Selected(), 2) << "the selected entry moves down with its selection";
    EXPECT_EQ(Field(IDC_ED_TITLE), "T") << "the fields keep their texts";
    EXPECT_EQ(Field(IDC_ED_MESSAGE), "x");
}

TEST_F(ClipEditorTest, OverwriteReplacesTheSelectedEntryInPlace)
{
    Open({"A", "B", "C"}, 1);
    SetFields("T", "x");
    Press(IDC_ED_OVERWRITE);
    EXPECT_EQ(ListItems(dialog_), (Items{"A", "T/=\"x\"", "C"}));
    EXPECT_EQ(Selected(), LB_ERR);

    Press(IDC_ED_OVERWRITE);  // nothing selected now
    EXPECT_EQ(ListItems(dialog_), (Items{"A", "T/=\"x\"", "C"}));
}

TEST_F(ClipEditorTest, AnEmptyMessageMakesAddAndOverwriteDoNothing)
{
    for (int selected : {-1, 0}) {
        Open({"A"}, selected);
        SetFields("title only", "");
        Press(IDC_ED_ADD);
        Press(IDC_ED_OVERWRITE);
        EXPECT_EQ(ListItems(dialog_), (Items{"A"})) << "selection " << selected;
        Close();
    }
}

TEST_F(ClipEditorTest, FileReferenceTravelsThroughEditAndOverwrite)
{
    Open({"Memo/f=\"C:\\memo.txt\"", "\"plain\""}, 0);
    Press(IDC_ED_EDIT);
    List(LB_SETCURSEL, 1, 0);
    Press(IDC_ED_OVERWRITE);
    EXPECT_EQ(ListItems(dialog_), (Items{"Memo/f=\"C:\\memo.txt\"", "Memo/f=\"C:\\memo.txt\""}));

    List(LB_SETCURSEL, 0, 0);
    SetFields("", "/f=D:\\a b.txt");
    Press(IDC_ED_OVERWRITE);
    EXPECT_EQ(ListItems(dialog_)[0], "/f=\"D:\\a b.txt\"");
}

TEST_F(ClipEditorTest, DeleteSelectsTheFollowerOrTheNewLast)
{
    struct Case { Items before; int selected; Items after; int selectedAfter; };
    const Case cases[] = {
        {{"A", "B", "C"}, 1, {"A", "C"}, 1},
        {{"A", "B", "C"}, 2, {"A", "B"}, 1},
        {{"A"}, 0, {}, LB_ERR},
        {{"A", "B"}, -1, {"A", "B"}, LB_ERR},
    };
    for (const Case& c : cases) {
        Open(c.before, c.selected);
        Press(IDC_ED_DELETE);
        EXPECT_EQ(ListItems(dialog_), c.after) << "selection " << c.selected;
        EXPECT_EQ(Selected(), c.selectedAfter) << "selection " << c.selected;
        Close();
    }
}

TEST_F(ClipEditorTest, MoveUpAndDownStopAtTheEnds)
{
    struct Case { int command; Items before; int selected; Items after; int selectedAfter; };
    const Case cases[] = {
        {IDC_ED_MOVE_UP, {"A", "B", "C"}, 2, {"A", "C", "B"}, 1},
        {IDC_ED_MOVE_UP, {"A", "B", "C"}, 1, {"B", "A", "C"}, 0},
        {IDC_ED_MOVE_UP, {"A", "B", "C"}, 0, {"A", "B", "C"}, 0},
        {IDC_ED_MOVE_UP, {"A"}, 0, {"A"}, 0},
        {IDC_ED_MOVE_UP, {"A", "B"}, -1, {"A", "B"}, LB_ERR},
        {IDC_ED_MOVE_DOWN, {"A", "B", "C"}, 0, {"B", "A", "C"}, 1},
        {IDC_ED_MOVE_DOWN, {"A", "B", "C"}, 1, {"A", "C", "B"}, 2},
        {IDC_ED_MOVE_DOWN, {"A", "B", "C"}, 2, {"A", "B", "C"}, 2},
        {IDC_ED_MOVE_DOWN, {"A"}, 0, {"A"}, 0},
        {IDC_ED_MOVE_DOWN, {"A", "B"}, -1, {"A", "B"}, LB_ERR},
    };
    for (const Case& c : cases) {
        Open(c.before, c.selected);
        Press(c.command);
        const char* name = c.command == IDC_ED_MOVE_UP ? "up" : "down";
        EXPECT_EQ(ListItems(dialog_), c.after) << name << " from " << c.selected;
        EXPECT_EQ(Selected(), c.selectedAfter) << name << " from " << c.selected;
        Close();
    }
}

// Items longer than an entry's 1023 bytes move whole; editing one cuts the
// fields at 1023 bytes. Fields that would make a longer entry are refused,
// never stored cut.
TEST_F(ClipEditorTest, OverLongItemsAndFieldsStayWithinTheirBuffers)
{
    std::string longItem = "T/=\"" + std::string(3000, 'x') + "\"";
    Open({"A", longItem}, 1);
    Press(IDC_ED_MOVE_UP);
    // A line of the file shows and reads as its first 1023 bytes.
    const std::string shown = longItem.substr(0, 1023);
    EXPECT_EQ(ListItems(dialog_), (Items{shown, "A"}));
    Press(IDC_ED_EDIT);
    EXPECT_EQ(Field(IDC_ED_TITLE), "T");
    EXPECT_EQ(Field(IDC_ED_MESSAGE), std::string(1019, 'x'));

    std::string wide;  // double-byte characters across the 1023-byte limit
    for (int i = 0; i < 700; ++i) wide += "あ";
    SetFields("", wide.c_str());
    List(LB_SETCURSEL, 0, 0);
    EXPECT_EQ(PressRefused(IDC_ED_OVERWRITE), kEntryTooLongRefused);
    EXPECT_EQ(ListItems(dialog_), (Items{shown, "A"})) << "the entry was overwritten";
    Press(IDOK);
    EXPECT_EQ(ReadClipData(), longItem + "\r\nA\r\n") << "the long line moved whole";
}

// A field over the limit is refused whole, never cut to fit: an untitled
// message of more than 1023 bytes whose cut would land two or three bytes
// short of the limit once passed the length check and was added cut.
TEST_F(ClipEditorTest, OverLongFieldAddsNothing)
{
    std::wstring euros = L"a";
    for (int i = 0; i < 400; ++i) euros += L"\u20AC";  // 1,201 bytes of UTF-8
    std::wstring emoji;
    for (int i = 0; i < 300; ++i) emoji += L"\U0001F600";
    const std::wstring xThenEuro = std::wstring(1021, L'x') + L"\u20AC";
    for (const std::wstring& message : {euros, emoji, xThenEuro}) {
        Open({"A"});
        SetDlgItemTextW(dialog_, IDC_ED_TITLE, L"");
        SetDlgItemTextW(dialog_, IDC_ED_MESSAGE, message.c_str());
        EXPECT_EQ(PressRefused(IDC_ED_ADD), kEntryTooLongRefused) << message.size() << " units";
        EXPECT_EQ(ListItems(dialog_), (Items{"A"})) << "an entry was added";
        Close();
    }
}

TEST_F(ClipEditorTest, BrowsePutsTheChosenPathIntoTheMessageField)
{
    std::string memo = std::string(m_ExeDir) + "\\memo.txt";
    CloseHandle(CreateFileA(memo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Open({});
    for (int answer : {IDCANCEL, IDOK}) {
        SetFields("Memo", "before");
        std::thread chooser([&] {
            HWND box = WaitForOwnDialog(kTextFileDialogTitle);
            ASSERT_NE(box, nullptr) << "no file dialog came up";
            HWND name = GetDlgItem(box, edt1);  // the file name field
            if (!name) name = GetDlgItem(box, cmb13);
            SetWindowTextA(name, memo.c_str());
            PostMessageA(box, WM_COMMAND, answer, 0);
        });
        Press(IDC_ED_BROWSE);
        chooser.join();
        EXPECT_EQ(Field(IDC_ED_TITLE), "Memo");
        EXPECT_EQ(Field(IDC_ED_MESSAGE), answer == IDOK ? "/f=" + memo : "before");
    }
}

// Start height of the dialog and the list, to compare the slider against.
struct Heights { RECT dialog, list; };

Heights Measure(HWND dialog)
{
    Heights h;
    GetWindowRect(dialog, &h.dialog);
    GetWindowRect(GetDlgItem(dialog, IDC_ED_LIST), &h.list);
    return h;
}

void ExpectTallerBy(const Heights& start, const Heights& now, int pixels)
{
    for (auto pair : {std::make_pair(start.dialog, now.dialog), std::make_pair(start.list, now.list)}) {
        EXPECT_EQ(pair.second.left, pair.first.left);
        EXPECT_EQ(pair.second.top, pair.first.top);
        EXPECT_EQ(pair.second.right, pair.first.right);
        EXPECT_EQ(pair.second.bottom, pair.first.bottom + pixels);
    }
}

TEST_F(ClipEditorTest, SliderMakesDialogAndListTallerByTenPixelsAStep)
{
    m_SliderPos = 7;  // left by an earlier opening: each opening starts again at 0
    HWND dialog = Open({"A"});
    SetWindowPos(dialog, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Heights start = Measure(dialog);
    HWND slider = GetDlgItem(dialog, IDC_ED_SLIDER);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), 100);
    for (int position : {7, 25, 100, 3, 0}) {
        SendMessageA(slider, TBM_SETPOS, TRUE, position);
        SendMessageA(dialog, WM_VSCROLL, 0, (LPARAM)slider);
        SCOPED_TRACE(position);
        ExpectTallerBy(start, Measure(dialog), 10 * position);
    }

    // The same position again moves nothing, even when the size changed since.
    SendMessageA(slider, TBM_SETPOS, TRUE, 4);
    SendMessageA(dialog, WM_VSCROLL, 0, (LPARAM)slider);
    Heights at4 = Measure(dialog);
    SetWindowPos(dialog, nullptr, 0, 0, at4.dialog.right - at4.dialog.left, 500,
                 SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(dialog, WM_VSCROLL, 0, (LPARAM)slider);
    RECT now;
    GetWindowRect(dialog, &now);
    EXPECT_EQ(now.bottom - now.top, 500);
}

// An empty line of the file is the user's byte sequence like any other and
// is saved back; the added entry ends the file with its CR LF.
TEST_F(ClipEditorTest, SaveWritesEveryLineReadAndEndsWithTheNewOne)
{
    WriteClipData("A\r\n\r\nB\r\n");
    INT_PTR result = RunModal([&](HWND dialog) {
        EXPECT_EQ(ListItems(dialog), (Items{"A", "", "B"}));
        SetDlgItemTextA(dialog, IDC_ED_TITLE, "T");
        SetDlgItemTextA(dialog, IDC_ED_MESSAGE, "あ");
        SendMessageA(dialog, WM_COMMAND, IDC_ED_ADD, 0);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ReadClipData(), "A\r\n\r\nB\r\nT/=\"あ\"\r\n");
}

// 895 bytes is the longest line the file is sure to hold; such an entry is
// moved and saved back whole (more than the 511 characters that Wine's ANSI
// list box thunk can carry).
TEST_F(ClipEditorTest, SaveKeepsTheLongestLineTheFileHolds)
{
    std::string line = std::string(895, 'x') + "\r\n";
    WriteClipData(line + "B\r\n");
    INT_PTR result = RunModal([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_ED_LIST, LB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, IDC_ED_MOVE_UP, 0);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(ReadClipData(), "B\r\n" + line);
}

TEST_F(ClipEditorTest, SavingNoItemsSaysSoAndLeavesTheFile)
{
    // Every entry deleted: the save says the file stays, and the editor
    // stays open for more edits or a cancel.
    WriteClipData("A\r\n");
    INT_PTR result = RunModal([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_ED_LIST, LB_SETCURSEL, 0, 0);
        SendMessageA(dialog, WM_COMMAND, IDC_ED_DELETE, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(AnswerMessageBox(kTitleConfirm, IDOK).text, kClipListEmptyNotSaved);
        WaitForWindowAnswer(dialog, kWindowWait);  // past the box, the save is over
        EXPECT_TRUE(IsWindow(dialog)) << "the editor closed as if it had saved";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(ReadClipData(), "A\r\n");
    // Empty lines of the file are the user's bytes: kept like any other.
    WriteClipData("\r\n\r\n");
    EXPECT_EQ(RunModal([](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDOK, 0); }), IDOK);
    EXPECT_EQ(ReadClipData(), "\r\n\r\n");
}

// A file that cannot be replaced: the user is told, the editor stays open
// with the edited list, and the file keeps its bytes.
// A list another program holds when the editor starts cannot be read: the
// editor says so, and its save never replaces the list (an empty list saved
// over it would lose every entry). Held or made read-only later, the save
// fails and says so. Either way the editor stays open with the edits.
TEST_F(ClipEditorTest, FailedSaveSaysSoAndKeepsTheEditorOpen)
{
    enum Fault { kHeldAtStart, kHeldAtSave, kReadOnly, kFolderAtSave, kTooLargeAtSave };
    const char* const kFaults[] = {"held at start", "held at save", "read-only",
                                   "a folder at save", "grown past 1 GiB at save"};
    const char* const kTold[] = {kClipListNotSaved, kClipListDiskUnreadable, kClipListSaveFailed,
                                 kClipListIsFolder, kClipListGrewTooLarge};
    for (Fault fault : {kHeldAtStart, kHeldAtSave, kReadOnly, kFolderAtSave, kTooLargeAtSave}) {
        SCOPED_TRACE(kFaults[fault]);
        WriteClipData("A\r\n");
        HANDLE lock = INVALID_HANDLE_VALUE;
        auto hold = [&] {
            lock = CreateFileA(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        };
        if (fault == kHeldAtStart) hold();
        if (fault == kReadOnly) SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY);
        INT_PTR result = RunModal([&](HWND dialog) {
            if (fault == kHeldAtStart) {
                EXPECT_EQ(AnswerMessageBox(kTitleFailure, IDOK).text, kClipListNotRead);
            }
            if (fault == kHeldAtSave) hold();
            if (fault == kFolderAtSave) {
                DeleteFileA(file_.c_str());
                CreateDirectoryA(file_.c_str(), nullptr);
            }
            if (fault == kTooLargeAtSave) {
                // Sparse where the file system allows: no gigabyte is written.
                HANDLE grown = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr);
                LARGE_INTEGER size;
                size.QuadPart = (1LL << 30) + 1;
                EXPECT_TRUE(SetFilePointerEx(grown, size, nullptr, FILE_BEGIN) &&
                            SetEndOfFile(grown)) << GetLastError();
                CloseHandle(grown);
            }
            SetDlgItemTextA(dialog, IDC_ED_MESSAGE, "new");
            SendMessageA(dialog, WM_COMMAND, IDC_ED_ADD, 0);
            Items edited = ListItems(dialog);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            BoxSeen box = AnswerMessageBox(kTitleFailure, IDOK);
            // Held, a folder or too large at the save, the list cannot be
            // read again to see whether another program changed it; each
            // is said as what it is.
            EXPECT_EQ(box.text, kTold[fault]);
            EXPECT_EQ(box.owner, dialog);
            // Past the box, the save is over once the editor answers.
            WaitForWindowAnswer(dialog, kWindowWait);
            ASSERT_TRUE(IsWindow(dialog)) << "the editor closed after a failed save";
            EXPECT_EQ(ListItems(dialog), edited);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(result, IDCANCEL);
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fault == kFolderAtSave) {
            EXPECT_TRUE(GetFileAttributesA(file_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryA(file_.c_str());
        } else if (fault == kTooLargeAtSave) {
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            GetFileAttributesExA(file_.c_str(), GetFileExInfoStandard, &data);
            EXPECT_EQ((1LL << 30) + 1, ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow)
                << "the grown list was written over";
            DeleteFileA(file_.c_str());
        } else {
            EXPECT_EQ(ReadClipData(), "A\r\n");
        }
    }
}

// Another program (a text editor, a second copy of Quillan) writes the
// list while the editor is open: its change is never written over in
// silence. Changes to other lines merge and the user is told; changes to
// the same lines ask. A list deleted or emptied meanwhile (a sync client's
// delete-then-rename, a writer that empties it first) is asked about, and
// only the editor's whole list is ever written in its place.
TEST_F(ClipEditorTest, SaveKeepsWhatAnotherProgramWroteMeanwhile)
{
    enum Edit { kInsertAtTop, kOverwriteThird };
    struct Row {
        const char* what;
        std::string theirs;  // written once the editor is open; empty: unchanged;
                             // "-": deleted; "0": emptied
        Edit edit;
        int answer;          // to the collision question; 0: none comes
        const char* told;    // the notice after a merge, or nullptr
        std::string file;    // afterwards
        std::string whileAsked = "";  // written while the question shows
        int asked = 1;       // times the question comes
        const char* question = kClipListCollision;
    };
    const Row rows[] = {
        {"unchanged on disk", "", kInsertAtTop, 0, nullptr, "\"M\"\r\nA\r\nB\r\nC\r\n"},
        {"they appended, the user inserted at the top", "A\r\nB\r\nC\r\nT", kInsertAtTop, 0,
         kClipListMerged, "\"M\"\r\nA\r\nB\r\nC\r\nT\r\n"},
        {"they removed A, the user changed C", "B\r\nC\r\n", kOverwriteThird, 0,
         kClipListMerged, "B\r\n\"M\"\r\n"},
        {"both changed C: keep both", "A\r\nB\r\nX\r\n", kOverwriteThird, IDYES, nullptr,
         "A\r\nB\r\nX\r\n\"M\"\r\n"},
        {"both changed C: the user's list", "A\r\nB\r\nX\r\n", kOverwriteThird, IDNO, nullptr,
         "A\r\nB\r\n\"M\"\r\n"},
        {"both changed C: back to editing", "A\r\nB\r\nX\r\n", kOverwriteThird, IDCANCEL,
         nullptr, "A\r\nB\r\nX\r\n"},
        // The answer is about the file as it was when asked: a change made
        // meanwhile is merged where it can be, else asked about again.
        {"C back while asked: merged", "A\r\nB\r\nX\r\n", kOverwriteThird, IDNO,
         kClipListMerged, "T\r\nA\r\nB\r\n\"M\"\r\n", "T\r\nA\r\nB\r\nC\r\n"},
        {"a line added while asked: asked again", "A\r\nB\r\nX\r\n", kOverwriteThird, IDYES,
         nullptr, "Z\r\nA\r\nB\r\nX\r\n\"M\"\r\n", "Z\r\nA\r\nB\r\nX\r\n", 2},
        {"deleted: the whole list", "-", kInsertAtTop, IDYES, nullptr,
         "\"M\"\r\nA\r\nB\r\nC\r\n", "", 1, kClipListGoneQuestion},
        {"emptied: nothing written", "0", kInsertAtTop, IDNO, nullptr, "", "", 1,
         kClipListGoneQuestion},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WriteClipData("A\r\nB\r\nC\r\n");
        std::string collision;
        RunModal([&](HWND dialog) {
            if (row.theirs == "-") {
                EXPECT_TRUE(DeleteFileA(file_.c_str()));
            } else if (!row.theirs.empty()) {
                WriteClipData(row.theirs == "0" ? "" : row.theirs);
            }
            SetDlgItemTextA(dialog, IDC_ED_MESSAGE, "M");
            SendDlgItemMessageA(dialog, IDC_ED_LIST, LB_SETCURSEL,
                                row.edit == kInsertAtTop ? 0 : 2, 0);
            SendMessageA(dialog, WM_COMMAND, row.edit == kInsertAtTop ? IDC_ED_ADD : IDC_ED_OVERWRITE,
                         0);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            for (int asked = 0; row.answer && asked < row.asked; ++asked) {
                collision = AnswerMessageBox(kTitleConfirm, row.answer, [&] {
                    if (asked == 0 && !row.whileAsked.empty()) WriteClipData(row.whileAsked);
                }).text;
                EXPECT_EQ(collision, row.question);
            }
            if (row.told) {
                EXPECT_EQ(AnswerMessageBox(kTitleConfirm, IDOK).text, row.told);
            }
            if (row.answer == IDCANCEL || (row.answer == IDNO && row.theirs == "0")) {
                // Back to editing once the editor answers again.
                EXPECT_TRUE(WaitForWindowAnswer(dialog, kWindowWait));
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        });
        EXPECT_EQ(ReadClipData(), row.file);
    }
}

TEST_F(ClipEditorTest, CloseBoxAsksAndOnlyYesEndsWithTwo)
{
    WriteClipData("A\r\n");
    INT_PTR result = RunModal([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_ED_LIST, LB_SETCURSEL, 0, 0);
        SendMessageA(dialog, WM_COMMAND, IDC_ED_DELETE, 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        BoxSeen no = AnswerMessageBox(kTitleConfirm, IDNO);
        EXPECT_EQ(no.text, kEditorCloseQuestion);
        EXPECT_EQ(no.owner, dialog);
        WaitForWindowAnswer(dialog, kWindowWait);  // past the question
        ASSERT_TRUE(IsWindow(dialog)) << "No must keep the editor open";
        EXPECT_EQ(ListItems(dialog), Items{}) << "No must keep the unsaved list";
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(AnswerMessageBox(kTitleConfirm, IDYES).text, kEditorCloseQuestion);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(ReadClipData(), "A\r\n");
}

TEST_F(ClipEditorTest, CancelAndEscEndWithTwoWithoutAsking)
{
    for (bool esc : {false, true}) {
        WriteClipData("A\r\n");
        INT_PTR result = RunModal([&](HWND dialog) {
            SendDlgItemMessageA(dialog, IDC_ED_LIST, LB_SETCURSEL, 0, 0);
            SendMessageA(dialog, WM_COMMAND, IDC_ED_DELETE, 0);
            if (esc) {
                PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
            } else {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        });
        EXPECT_EQ(result, IDCANCEL) << (esc ? "Esc" : "cancel");
        EXPECT_EQ(ReadClipData(), "A\r\n");
    }
}

}  // namespace
