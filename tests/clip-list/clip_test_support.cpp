#include "clip_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "messages.h"

TempFolder::TempFolder()
{
    static int counter = 0;
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    wsprintfA(path, "%squillan-clip-%lu-%d", base, GetCurrentProcessId(), ++counter);
    EXPECT_TRUE(CreateDirectoryA(path, nullptr)) << "cannot create " << path;
}

static void RemoveTree(const std::string& folder)
{
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
    RemoveDirectoryA(folder.c_str());
}

TempFolder::~TempFolder()
{
    RemoveTree(path);
}

std::string TempFolder::File(const char* name) const
{
    return std::string(path) + "\\" + name;
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(path) + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "cannot create " << path;
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), (DWORD)bytes.size(), &done, nullptr));
    EXPECT_EQ(bytes.size(), (size_t)done);
    CloseHandle(file);
}

std::string ReadBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

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

// Read through the wide messages: Wine's ANSI conversion of the text
// queries overruns for items of more than 512 characters.
static std::string Narrow(const std::wstring& wide)
{
    int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), (int)wide.size(), nullptr, 0,
                                   nullptr, nullptr);
    std::string text((size_t)size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), (int)wide.size(), &text[0], size,
                        nullptr, nullptr);
    return text;
}

static std::vector<std::string> Items(HWND control, UINT countMessage, UINT lengthMessage,
                                      UINT textMessage)
{
    std::vector<std::string> items;
    int count = (int)SendMessageW(control, countMessage, 0, 0);
    for (int i = 0; i < count; ++i) {
        int length = (int)SendMessageW(control, lengthMessage, i, 0);
        std::wstring text((size_t)length + 1, L'\0');
        int got = (int)SendMessageW(control, textMessage, i, (LPARAM)&text[0]);
        text.resize(got > 0 ? (size_t)got : 0);
        items.push_back(Narrow(text));
    }
    return items;
}

std::vector<std::string> ComboItems(HWND combo)
{
    return Items(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::vector<std::string> ListItems(HWND list)
{
    return Items(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text((size_t)length + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? (size_t)got : 0);
    return Narrow(text);
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

static DWORD WINAPI AnswerBoxes(void* parameter)
{
    BoxAnswerer* answerer = static_cast<BoxAnswerer*>(parameter);
    const char* titles[] = {kTitleConfirm, kTitleFailure};
    while (!answerer->stop) {
        for (const char* title : titles) {
            HWND box = FindWindowA("#32770", title);
            if (!box || !IsWindowVisible(box)) continue;
            char text[1024] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            std::string record = std::string(title) + ":" + text;
            if (GetWindow(box, GW_OWNER)) record += "(owned)";
            EnterCriticalSection(&answerer->lock);
            answerer->seen.push_back(record);
            LeaveCriticalSection(&answerer->lock);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            // Hidden is answered: a box may linger hidden for a while (two
            // seconds under Wine with managed windows and no window manager).
            for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(10);
        }
        Sleep(10);
    }
    return 0;
}

BoxAnswerer::BoxAnswerer() : stop(0)
{
    InitializeCriticalSection(&lock);
    thread = CreateThread(nullptr, 0, AnswerBoxes, this, 0, nullptr);
}

std::vector<std::string> BoxAnswerer::Finish()
{
    if (thread) {
        InterlockedExchange(&stop, 1);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    return seen;
}

BoxAnswerer::~BoxAnswerer()
{
    Finish();
    DeleteCriticalSection(&lock);
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

void SetClipboardTextForTest(const char* text)
{
    size_t size = strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(block), text, size);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_TRUE(SetClipboardData(CF_TEXT, block) != nullptr);
    CloseClipboard();
}
