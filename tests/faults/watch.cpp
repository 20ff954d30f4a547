#include "watch.h"

#include <string.h>

#include <algorithm>

#include "messages.h"
#include "resource.h"

namespace {

struct BoxSearch {
    DWORD process;
    HWND found;
    std::string title;
};

BOOL CALLBACK FindBox(HWND window, LPARAM lParam)
{
    BoxSearch* search = (BoxSearch*)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (process != search->process || strcmp(className, "#32770") != 0 ||
        !IsWindowVisible(window)) {
        return TRUE;
    }
    std::string title = WindowText(window);
    if (title != kTitleConfirm && title != kTitleFailure) return TRUE;
    search->found = window;
    search->title = title;
    return FALSE;
}

DWORD WINAPI AnswerBoxes(void* parameter)
{
    BoxWatch* watch = (BoxWatch*)parameter;
    while (!watch->stop) {
        BoxSearch search = {watch->process, NULL, ""};
        EnumWindows(FindBox, (LPARAM)&search);
        if (search.found) {
            std::string record = search.title + ":" + MessageBoxText(search.found);
            EnterCriticalSection(&watch->lock);
            watch->seen.push_back(record);
            LeaveCriticalSection(&watch->lock);
            PostMessageW(search.found, WM_COMMAND, IDOK, 0);
            // Answered once: wait for it to go before looking again.
            for (int i = 0; i < 500 && IsWindow(search.found) && IsWindowVisible(search.found);
                 ++i) {
                Sleep(10);
            }
        }
        Sleep(10);
    }
    return 0;
}

}  // namespace

void StartBoxWatch(BoxWatch* watch, DWORD process)
{
    watch->process = process;
    watch->stop = 0;
    watch->seen.clear();
    InitializeCriticalSection(&watch->lock);
    watch->thread = CreateThread(NULL, 0, AnswerBoxes, watch, 0, NULL);
}

std::vector<std::string> BoxesSeen(BoxWatch* watch)
{
    if (!watch->thread) return watch->seen;
    EnterCriticalSection(&watch->lock);
    std::vector<std::string> seen = watch->seen;
    LeaveCriticalSection(&watch->lock);
    return seen;
}

bool WaitForBoxes(BoxWatch* watch, size_t count, int ms)
{
    DWORD start = GetTickCount();
    while (BoxesSeen(watch).size() < count) {
        if ((int)(GetTickCount() - start) > ms) return false;
        Sleep(20);
    }
    return true;
}

void StopBoxWatch(BoxWatch* watch)
{
    if (!watch->thread) return;
    InterlockedExchange(&watch->stop, 1);
    WaitForSingleObject(watch->thread, INFINITE);
    CloseHandle(watch->thread);
    watch->thread = NULL;
    DeleteCriticalSection(&watch->lock);
}

namespace {

struct MainSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMain(HWND window, LPARAM lParam)
{
    MainSearch* search = (MainSearch*)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !GetDlgItem(window, IDC_CLIP_COMBO)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindMainWindow(const ProgramRun& run, int ms)
{
    MainSearch search = {run.process.dwProcessId, NULL};
    DWORD start = GetTickCount();
    do {
        EnumWindows(FindMain, (LPARAM)&search);
        if (search.found) return search.found;
        Sleep(5);
    } while ((int)(GetTickCount() - start) < ms);
    return NULL;
}

static std::vector<std::wstring> ItemsWide(HWND control, UINT count, UINT length, UINT text)
{
    std::vector<std::wstring> items;
    int n = (int)SendMessageW(control, count, 0, 0);
    for (int i = 0; i < n; ++i) {
        int size = (int)SendMessageW(control, length, i, 0);
        if (size < 0 || size >= 4096) {
            items.push_back(L"(unreadable item)");
            continue;
        }
        wchar_t buffer[4096] = L"";
        SendMessageW(control, text, i, (LPARAM)buffer);
        items.push_back(buffer);
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

std::wstring Wide(const std::string& cp932)
{
    std::wstring wide(cp932.size() + 1, L'\0');
    int got = MultiByteToWideChar(932, 0, cp932.data(), (int)cp932.size(), &wide[0],
                                  (int)wide.size());
    wide.resize(got > 0 ? (size_t)got : 0);
    return wide;
}

std::string ReadBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return "<cannot be read>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

std::string FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string shown;
    for (const std::string& name : names) shown += "[" + name + "]";
    return shown;
}

bool RemoveTree(const std::string& folder)
{
    if (folder.empty()) return true;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = folder + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
    return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}
