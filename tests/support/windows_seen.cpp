// Windows of this or another process, read and answered from outside.
#include "test_support.h"

#include <string.h>

#include "messages.h"

std::string Narrow(const std::wstring& wide)
{
    int size = WideCharToMultiByte(932, 0, wide.data(), (int)wide.size(), NULL, 0, NULL, NULL);
    std::string text(size > 0 ? (size_t)size : 0, '\0');
    if (size > 0) {
        WideCharToMultiByte(932, 0, wide.data(), (int)wide.size(), &text[0], size, NULL, NULL);
    }
    return text;
}

std::wstring Wide(const std::string& cp932)
{
    std::wstring wide(cp932.size() + 1, L'\0');
    int got = MultiByteToWideChar(932, 0, cp932.data(), (int)cp932.size(), &wide[0],
                                  (int)wide.size());
    wide.resize(got > 0 ? (size_t)got : 0);
    return wide;
}

std::string Utf8(const std::string& cp932)
{
    std::wstring wide = Wide(cp932);
    std::string text(wide.size() * 3 + 1, '\0');
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), (int)wide.size(), &text[0],
                                   (int)text.size(), NULL, NULL);
    text.resize(size > 0 ? size : 0);
    return text;
}

std::string WindowText(HWND window)
{
    // GetWindowText does not ask a window of another process; the message
    // does, and gives a control's real text. The timeout keeps a hung
    // program from hanging the test.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return "";
    }
    std::wstring wide((size_t)length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, wide.size(), (LPARAM)&wide[0],
                             SMTO_ABORTIFHUNG, 5000, &got)) {
        return "";
    }
    wide.resize(got < wide.size() ? (size_t)got : wide.size() - 1);
    return Narrow(wide);
}

static std::vector<std::wstring> ItemsWide(HWND control, UINT countMessage,
                                           UINT lengthMessage, UINT textMessage)
{
    std::vector<std::wstring> items;
    int count = (int)SendMessageW(control, countMessage, 0, 0);
    for (int i = 0; i < count; ++i) {
        int length = (int)SendMessageW(control, lengthMessage, i, 0);
        if (length < 0) {
            items.push_back(L"(unreadable item)");
            continue;
        }
        std::wstring text((size_t)length + 1, L'\0');
        int got = (int)SendMessageW(control, textMessage, i, (LPARAM)&text[0]);
        text.resize(got > 0 && got <= length ? (size_t)got : 0);
        items.push_back(text);
    }
    return items;
}

std::vector<std::wstring> ComboItemsWide(HWND combo)
{
    return ItemsWide(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::vector<std::wstring> ListItemsWide(HWND list)
{
    return ItemsWide(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

static std::vector<std::string> NarrowAll(const std::vector<std::wstring>& wide)
{
    std::vector<std::string> items;
    for (const std::wstring& item : wide) items.push_back(Narrow(item));
    return items;
}

std::vector<std::string> ComboItems(HWND combo)
{
    return NarrowAll(ComboItemsWide(combo));
}

std::vector<std::string> ListItems(HWND list)
{
    return NarrowAll(ListItemsWide(list));
}

std::string Show(const std::vector<std::string>& items)
{
    std::string shown;
    for (const std::string& item : items) {
        if (item.size() > 100) {
            shown += "[" + item.substr(0, 16) + "...(" + std::to_string(item.size()) + " bytes)]";
        } else {
            shown += "[" + item + "]";
        }
    }
    return shown;
}

struct DialogSearch {
    DWORD process;
    const char* title;
    int childId;
    bool hiddenToo;
    HWND found;
};

static BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam)
{
    DialogSearch* search = (DialogSearch*)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if ((search->process && process != search->process) ||
        (!search->hiddenToo && !IsWindowVisible(window)) || strcmp(className, "#32770") != 0) {
        return TRUE;
    }
    if (search->title && WindowText(window) != search->title) return TRUE;
    if (search->childId && !GetDlgItem(window, search->childId)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindDialog(DWORD process, const char* title, int childId, bool hiddenToo)
{
    DialogSearch search = {process, title, childId, hiddenToo, NULL};
    EnumWindows(MatchDialog, (LPARAM)&search);
    return search.found;
}

HWND WaitForDialog(DWORD process, const char* title, int childId, int ms, bool hiddenToo)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindDialog(process, title, childId, hiddenToo);
        if (found || (int)(GetTickCount() - start) >= ms) return found;
        Sleep(20);
    }
}

static BOOL CALLBACK AnyWindow(HWND, LPARAM lParam)
{
    *(bool*)lParam = true;
    return FALSE;
}

// Handles the calling thread's messages, if it owns windows, for up to
// `ms`: returns as soon as a message came and was handled, or the time is
// up. A thread without windows just sleeps.
static void PumpOrSleep(bool ownsWindows, int ms)
{
    if (!ownsWindows) {
        Sleep(ms);
        return;
    }
    MsgWaitForMultipleObjects(0, NULL, FALSE, ms, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitForWindowGone(HWND window, int ms, bool hiddenIsGone)
{
    bool ownsWindows = false;
    EnumThreadWindows(GetCurrentThreadId(), AnyWindow, (LPARAM)&ownsWindows);
    DWORD start = GetTickCount();
    for (;;) {
        if (!IsWindow(window) || (hiddenIsGone && !IsWindowVisible(window))) return true;
        if ((int)(GetTickCount() - start) >= ms) return false;
        PumpOrSleep(ownsWindows, 10);
    }
}

bool WaitForWindowAnswer(HWND window, int ms)
{
    // Sent messages are handled only where the thread takes its messages:
    // never in the middle of a handler (unless it shows a window of its
    // own, such as a message box), so the answer comes once the handler
    // that was running is over.
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
}

static BOOL CALLBACK LongestStatic(HWND child, LPARAM lParam)
{
    // The icon of a message box is a static too, without text.
    std::string* longest = (std::string*)lParam;
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        std::string text = WindowText(child);
        if (text.size() > longest->size()) *longest = text;
    }
    return TRUE;
}

std::string MessageBoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, LongestStatic, (LPARAM)&text);
    return text;
}

std::string ShowBoxes(const std::vector<AnsweredBox>& boxes)
{
    std::string shown;
    for (const AnsweredBox& box : boxes) {
        shown += "[" + box.title + ":" + box.text + (box.owned ? "(owned)" : "") + "]";
    }
    return shown;
}

static DWORD WINAPI AnswerBoxes(void* parameter)
{
    BoxAnswerer* answerer = (BoxAnswerer*)parameter;
    for (;;) {
        // One more look once asked to stop: a box already showing then is
        // answered and counted, not left to the next test.
        const bool last = answerer->stop != 0;
        const char* title = kTitleConfirm;
        HWND found = FindDialog(answerer->process, kTitleConfirm, 0, false);
        if (!found) {
            title = kTitleFailure;
            found = FindDialog(answerer->process, kTitleFailure, 0, false);
        }
        if (found) {
            AnsweredBox box = {title, MessageBoxText(found), GetWindow(found, GW_OWNER) != NULL};
            EnterCriticalSection(&answerer->lock);
            answerer->seen.push_back(box);
            LeaveCriticalSection(&answerer->lock);
            int answer = strcmp(title, kTitleConfirm) == 0 ? answerer->confirmAnswer : IDOK;
            PostMessageW(found, WM_COMMAND, answer, 0);
            // Hidden is answered: a box may linger hidden for a while (two
            // seconds under Wine with managed windows and no window
            // manager); wait for it to go before looking again.
            WaitForWindowGone(found, 5000, true);
            InterlockedIncrement(&answerer->settled);
        }
        if (last) return 0;
        Sleep(10);
    }
}

void StartBoxAnswerer(BoxAnswerer* answerer, DWORD process, int confirmAnswer)
{
    answerer->process = process;
    answerer->confirmAnswer = confirmAnswer;
    answerer->stop = 0;
    answerer->settled = 0;
    answerer->seen.clear();
    InitializeCriticalSection(&answerer->lock);
    answerer->thread = CreateThread(NULL, 0, AnswerBoxes, answerer, 0, NULL);
}

std::vector<AnsweredBox> BoxesAnswered(BoxAnswerer* answerer)
{
    if (!answerer->thread) return answerer->seen;
    EnterCriticalSection(&answerer->lock);
    std::vector<AnsweredBox> seen = answerer->seen;
    LeaveCriticalSection(&answerer->lock);
    return seen;
}

// Waits up to `ms` for `object` (none when null), meanwhile answering what
// other threads send to the caller's windows: the answerer reads the
// caption of every dialog of the process, the caller's own too, and would
// wait five seconds for each that does not answer. Posted messages stay
// where they are. True when the object was signalled.
static bool WaitAnsweringSent(HANDLE object, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD passed = GetTickCount() - start;
        DWORD left = ms == INFINITE ? INFINITE : passed < ms ? ms - passed : 0;
        DWORD got = MsgWaitForMultipleObjects(object ? 1 : 0, object ? &object : NULL, FALSE,
                                              left, QS_SENDMESSAGE);
        if (object && got == WAIT_OBJECT_0) return true;
        if (got != (object ? WAIT_OBJECT_0 + 1 : WAIT_OBJECT_0)) return false;  // time is up
        MSG msg;
        PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool WaitForBoxes(BoxAnswerer* answerer, size_t count, int ms)
{
    DWORD start = GetTickCount();
    while ((size_t)InterlockedCompareExchange(&answerer->settled, 0, 0) < count) {
        if ((int)(GetTickCount() - start) > ms) return false;
        WaitAnsweringSent(NULL, 20);
    }
    return true;
}

std::vector<AnsweredBox> StopBoxAnswerer(BoxAnswerer* answerer)
{
    if (answerer->thread) {
        InterlockedExchange(&answerer->stop, 1);
        WaitAnsweringSent(answerer->thread, INFINITE);
        CloseHandle(answerer->thread);
        answerer->thread = NULL;
        DeleteCriticalSection(&answerer->lock);
    }
    return answerer->seen;
}
