#include "program_run.h"

#include <string.h>

#include "resource.h"

static std::string OwnFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    *strrchr(path, '\\') = '\0';
    return path;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool MakeRunFolder(RunFolder* folder)
{
    static int serial = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    folder->path = std::string(temp) + "quillan-e2e-" + std::to_string(GetCurrentProcessId()) +
                   "-" + std::to_string(++serial);
    if (!CreateDirectoryA(folder->path.c_str(), NULL)) return false;
    std::string from = OwnFolder();
    for (const char* name : {"Quillan.exe", "Morvask.dll"}) {
        if (!CopyFileA((from + "\\" + name).c_str(), (folder->path + "\\" + name).c_str(),
                       FALSE)) {
            return false;
        }
    }
    return true;
}

void RemoveRunFolder(RunFolder* folder)
{
    if (folder->path.empty()) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder->path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((folder->path + "\\" + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder->path.c_str());
    folder->path.clear();
}

bool StartProgram(ProgramRun* run, const RunFolder& folder, const std::string& arguments)
{
    std::string exe = folder.path + "\\Quillan.exe";
    std::string line = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    run->started = CreateProcessA(exe.c_str(), buffer.data(), NULL, NULL, FALSE, 0, NULL,
                                  folder.path.c_str(), &startup, &run->process) != 0;
    return run->started;
}

int WaitForExit(ProgramRun* run, int ms)
{
    if (!run->started || WaitForSingleObject(run->process.hProcess, ms) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(run->process.hProcess, &code);
    return (int)code;
}

static BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM lParam)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == (DWORD)lParam) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void FinishProgram(ProgramRun* run)
{
    if (!run->started) return;
    if (WaitForSingleObject(run->process.hProcess, 0) == WAIT_TIMEOUT) {
        EnumWindows(CloseWindowsOf, (LPARAM)run->process.dwProcessId);
        if (WaitForSingleObject(run->process.hProcess, 5000) == WAIT_TIMEOUT) {
            // A message box or a stuck program: end it rather than leave a
            // window behind for the next test.
            TerminateProcess(run->process.hProcess, 99);
            WaitForSingleObject(run->process.hProcess, 5000);
        }
    }
    CloseHandle(run->process.hThread);
    CloseHandle(run->process.hProcess);
    run->started = false;
}

std::string WindowText(HWND window)
{
    // GetWindowText does not ask a window of another process; the message
    // does, and gives a control's real text.
    wchar_t wide[2048] = L"";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 2048, (LPARAM)wide, SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    char text[4096] = "";
    WideCharToMultiByte(932, 0, wide, -1, text, sizeof text, NULL, NULL);
    return text;
}

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    int count = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        wchar_t wide[2048] = L"";
        if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= 2048) continue;
        SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)wide);
        char item[4096] = "";
        WideCharToMultiByte(932, 0, wide, -1, item, sizeof item, NULL, NULL);
        items.push_back(item);
    }
    return items;
}

static BOOL CALLBACK LongestStatic(HWND child, LPARAM lParam)
{
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

struct WindowSearch {
    DWORD process;
    const char* title;
    bool withCombo;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch* search = (WindowSearch*)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (process != search->process || !IsWindowVisible(window) ||
        strcmp(className, "#32770") != 0) {
        return TRUE;
    }
    if (search->title && WindowText(window) != search->title) return TRUE;
    if (search->withCombo && !GetDlgItem(window, IDC_CLIP_COMBO)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForWindow(const ProgramRun& run, const char* title, bool withCombo, int ms)
{
    WindowSearch search = {run.process.dwProcessId, title, withCombo, NULL};
    DWORD start = GetTickCount();
    do {
        EnumWindows(MatchWindow, (LPARAM)&search);
        if (search.found) return search.found;
        Sleep(20);
    } while ((int)(GetTickCount() - start) < ms);
    return NULL;
}

std::string ClipboardText()
{
    for (int i = 0; i < 50 && !OpenClipboard(NULL); ++i) Sleep(20);
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = data ? (const char*)GlobalLock(data) : NULL;
    std::string text = locked ? locked : "(no text on the clipboard)";
    if (locked) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

void PutOnClipboard(const char* text)
{
    for (int i = 0; i < 50 && !OpenClipboard(NULL); ++i) Sleep(20);
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    strcpy((char*)GlobalLock(block), text);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

static bool AccessTime(const std::string& path, FILETIME* accessed, const FILETIME* set)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    BOOL ok = set ? SetFileTime(file, NULL, set, NULL) : GetFileTime(file, NULL, accessed, NULL);
    CloseHandle(file);
    return ok != 0;
}

static ULONGLONG Ticks(const FILETIME& time)
{
    return ((ULONGLONG)time.dwHighDateTime << 32) | time.dwLowDateTime;
}

static const ULONGLONG kDay = 24ull * 60 * 60 * 10000000;

bool AgeLastAccess(const std::string& path)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG past = Ticks(now) - 3 * kDay;
    FILETIME aged = {(DWORD)past, (DWORD)(past >> 32)};
    return AccessTime(path, NULL, &aged);
}

bool ReadSinceAged(const std::string& path)
{
    FILETIME now, accessed;
    GetSystemTimeAsFileTime(&now);
    if (!AccessTime(path, &accessed, NULL)) return false;
    return Ticks(accessed) > Ticks(now) - kDay;
}
