// The real program's list narrowed as the user types: characters go to the
// field's own window as the keyboard sends them; the list is read back.
#include <gtest/gtest.h>

#include <wchar.h>

#include "resource.h"
#include "test_support.h"

namespace {

const int kWindowWait = 20000;

class Narrowing : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeRunFolder(&folder_));
        ASSERT_TRUE(WriteWholeFile(folder_.path + "\\ClipData.txt",
                                   "Good evening\r\nGreeting/=\"Good morning\"\r\nﾃﾞｰﾀ集\r\n"
                                   "Memo/f=\"C:\\memo.txt\"\r\nかたかな\r\nGood night\r\n"));
        ASSERT_TRUE(StartProgram(&run_, folder_, ""));
        main_ = WaitForWindow(run_, NULL, true, kWindowWait);
        ASSERT_TRUE(main_) << "the main window did not appear";
        combo_ = GetDlgItem(main_, IDC_CLIP_COMBO);
        field_ = FindWindowExW(combo_, NULL, L"Edit", NULL);
        ASSERT_TRUE(field_) << "no field in the drop-down list";
    }

    void TearDown() override
    {
        FinishProgram(&run_);
        RemoveRunFolder(&folder_);
    }

    // Selects the whole field and types over it; an empty text deletes it.
    void TypeOver(const wchar_t* text)
    {
        SendMessageW(field_, EM_SETSEL, 0, -1);
        SendMessageW(field_, WM_CHAR, *text ? *text++ : VK_BACK, 1);
        while (*text) SendMessageW(field_, WM_CHAR, *text++, 1);
    }

    // Until a pick or close-up has settled: `picked` is picked (-1: none).
    void Settle(int picked = -1)
    {
        for (int i = 0; i < 200 && SendMessageW(combo_, CB_GETCURSEL, 0, 0) != picked; ++i) Sleep(10);
    }

    RunFolder folder_;
    ProgramRun run_ = {};
    HWND main_ = NULL, combo_ = NULL, field_ = NULL;
};

const char kAll[] = "[Good evening][Greeting/=\"Good morning\"][ﾃﾞｰﾀ集][Memo/f=\"C:\\memo.txt\"]"
                    "[かたかな][Good night]";

TEST_F(Narrowing, TypingKeepsTheEntriesHoldingEveryWord)
{
    const struct {
        const wchar_t* typed;
        const char* shown;
    } rows[] = {
        {L"GOOD", "[Good evening][Greeting/=\"Good morning\"][Good night]"},
        {L"mor good", "[Greeting/=\"Good morning\"]"},
        {L"データ", "[ﾃﾞｰﾀ集]"},
        {L"ｶﾀｶﾅ", "[かたかな]"},
        {L"memo.txt", "[Memo/f=\"C:\\memo.txt\"]"},
        {L"zzz", ""},
        {L"", kAll},
    };
    for (const auto& row : rows) {
        TypeOver(row.typed);
        EXPECT_EQ(row.shown, Show(ComboItems(combo_))) << Narrow(row.typed);
        EXPECT_EQ(Narrow(row.typed), WindowText(combo_)) << "the field keeps what was typed";
        const WORD caret = (WORD)wcslen(row.typed);
        EXPECT_EQ(MAKELONG(caret, caret), SendMessageW(field_, EM_GETSEL, 0, 0));
    }
}

TEST_F(Narrowing, DropDownClosedWithoutAPickKeepsTheTypedTextAndDownPicksTheFirstEntry)
{
    RECT box;
    GetClientRect(combo_, &box);
    const LPARAM button = MAKELPARAM(box.right - 4, box.bottom / 2);
    // "g" starts "Good evening", which a drop-down list would put into the
    // field as it opens (by the keyboard) or as the mouse lets go.
    TypeOver(L"g");
    // The mouse opens the list only in the window that has the focus.
    SetForegroundWindow(main_);
    for (int i = 0; i < 100 && GetForegroundWindow() != main_; ++i) Sleep(10);
    SendMessageW(combo_, WM_KEYDOWN, VK_F4, 1);
    EXPECT_EQ("g", WindowText(combo_)) << "opened by the keyboard";
    SendMessageW(combo_, WM_KEYDOWN, VK_ESCAPE, 1);
    Settle();
    SendMessageW(combo_, WM_LBUTTONDOWN, MK_LBUTTON, button);
    SendMessageW(combo_, WM_LBUTTONUP, 0, button);
    EXPECT_TRUE(SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0)) << "the button did not open the list";
    EXPECT_EQ("g", WindowText(combo_)) << "opened by the mouse";
    SendMessageW(combo_, WM_LBUTTONDOWN, MK_LBUTTON, button);
    SendMessageW(combo_, WM_LBUTTONUP, 0, button);
    Settle();
    EXPECT_EQ("g", WindowText(combo_)) << "closed by the mouse";
    EXPECT_EQ("[Good evening][Greeting/=\"Good morning\"][Good night]", Show(ComboItems(combo_)));

    // Down walks the narrowed list from its first entry; Enter copies it.
    const char* picks[] = {"Good evening", "Good morning"};
    for (int i = 0; i < 2; ++i) {
        SendMessageW(field_, WM_KEYDOWN, VK_DOWN, 1);
        Settle(i);
        DWORD before = GetClipboardSequenceNumber();
        PostMessageW(field_, WM_KEYDOWN, VK_RETURN, 1);
        WaitForClipboardChange(before, main_, kWindowWait);
        EXPECT_EQ(picks[i], ClipboardText());
    }
    // A picked entry narrows nothing: the list drops down whole.
    SendMessageW(combo_, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(kAll, Show(ComboItems(combo_)));
    EXPECT_EQ("Greeting/=\"Good morning\"", WindowText(combo_));
}

TEST_F(Narrowing, ReloadShowsTheNewFilesMatchesAndKeepsTheTypedText)
{
    TypeOver(L"good");
    SendMessageW(field_, EM_SETSEL, 1, 3);
    ASSERT_TRUE(WriteWholeFile(folder_.path + "\\ClipData.txt", "Good day\r\nZeta\r\nGood evening\r\n"));
    SendMessageW(combo_, CB_SHOWDROPDOWN, TRUE, 0);  // looks at the file first
    EXPECT_EQ("[Good day][Good evening]", Show(ComboItems(combo_)));
    EXPECT_EQ("good", WindowText(combo_));
    EXPECT_EQ(MAKELONG(1, 3), (DWORD)SendMessageW(field_, EM_GETSEL, 0, 0));
}

}  // namespace
