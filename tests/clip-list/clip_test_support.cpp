#include "clip_test_support.h"

#include <gtest/gtest.h>

TestWindow::TestWindow()
{
    // Controls made from dialog templates are Unicode windows, so these are
    // too: ANSI messages then pass through the system's conversion, as they
    // do in the program.
    window = CreateWindowExA(0, "STATIC", "clip test", WS_OVERLAPPEDWINDOW,
                             0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN |
                            CBS_AUTOHSCROLL | WS_VSCROLL, 10, 10, 300, 200, window,
                            (HMENU)1000, nullptr, nullptr);
    list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL |
                           LBS_NOTIFY | LBS_HASSTRINGS, 10, 40, 300, 200, window,
                           (HMENU)1011, nullptr, nullptr);
    EXPECT_TRUE(window && combo && list) << "cannot create the test controls";
    EXPECT_TRUE(IsWindowUnicode(combo) && IsWindowUnicode(list));
}

TestWindow::~TestWindow()
{
    DestroyWindow(window);
    // Drop what was posted to the window and not looked at by the test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

static DWORD WINAPI HoldClipboard(void* parameter)
{
    ClipboardHolder* holder = static_cast<ClipboardHolder*>(parameter);
    // A window of its own: Wine lets a second opener in while the holder
    // opened with no window, but not while it holds it with a window.
    HWND window = CreateWindowExA(0, "STATIC", "clipboard holder", 0, 0, 0, 10, 10,
                                  nullptr, nullptr, nullptr, nullptr);
    BOOL opened = OpenClipboard(window);
    SetEvent(holder->opened);
    if (opened) {
        Sleep(holder->holdMs);
        CloseClipboard();
    }
    DestroyWindow(window);
    return opened;
}

ClipboardHolder::ClipboardHolder(DWORD ms) : holdMs(ms)
{
    opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, HoldClipboard, this, 0, nullptr);
    WaitForSingleObject(opened, 5000);
}

ClipboardHolder::~ClipboardHolder()
{
    WaitForSingleObject(thread, INFINITE);
    DWORD held = 0;
    GetExitCodeThread(thread, &held);
    EXPECT_EQ(1u, held) << "the holder thread could not open the clipboard";
    CloseHandle(thread);
    CloseHandle(opened);
}

std::string ClipboardBlock()
{
    std::string bytes = "<none>";
    for (int i = 0; i < 50 && !OpenClipboard(nullptr); ++i) Sleep(20);
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char* text = static_cast<const char*>(GlobalLock(data));
        if (text) bytes.assign(text, GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

static ListSaveAnswer AnswerNo(ListSaveQuestion, void*)
{
    return kAnswerNo;
}

ClipListSaveResult SaveClipList(const ClipEditList* list, const char* path, ClipListSaveMode,
                                WCHAR* left)
{
    ListSaveState state;
    StartListSave(&state);
    ListSaveDecision decision;
    RunListSave(list, path, AnswerNo, nullptr, true, &state, &decision, left);
    ClipListSaveResult result = kSaveFailed;
    if (decision.step == kStepSay && decision.notice == kNoticeNone) {
        result = decision.closes ? kSaveWritten : kSaveNothing;
    } else if (decision.step == kStepSay && decision.notice == kNoticeEmpty) {
        result = kSaveNothing;
    }
    FreeListSaveDecision(&decision);
    return result;
}
