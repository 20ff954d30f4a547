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

HWND WaitForDialog(DWORD process, const char* title, int childId, int ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindDialog(process, title, childId, false);
        if (found || (int)(GetTickCount() - start) >= ms) return found;
        Sleep(20);
    }
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
    while (!answerer->stop) {
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
            for (int i = 0; i < 500 && IsWindow(found) && IsWindowVisible(found); ++i) Sleep(10);
        }
        Sleep(10);
    }
    return 0;
}

void StartBoxAnswerer(BoxAnswerer* answerer, DWORD process, int confirmAnswer)
{
    answerer->process = process;
    answerer->confirmAnswer = confirmAnswer;
    answerer->stop = 0;
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

bool WaitForBoxes(BoxAnswerer* answerer, size_t count, int ms)
{
    DWORD start = GetTickCount();
    while (BoxesAnswered(answerer).size() < count) {
        if ((int)(GetTickCount() - start) > ms) return false;
        Sleep(20);
    }
    return true;
}

std::vector<AnsweredBox> StopBoxAnswerer(BoxAnswerer* answerer)
{
    if (answerer->thread) {
        InterlockedExchange(&answerer->stop, 1);
        WaitForSingleObject(answerer->thread, INFINITE);
        CloseHandle(answerer->thread);
        answerer->thread = NULL;
        DeleteCriticalSection(&answerer->lock);
    }
    return answerer->seen;
}
