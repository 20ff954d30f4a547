// The real Quillan.exe started as a user would, and its windows found from
// outside.
#include "test_support.h"

#include "resource.h"

bool MakeRunFolder(RunFolder* folder)
{
    if (!MakeScratchFolder("run", &folder->path)) return false;
    std::string from = ProgramFolder();
    for (const char* name : {"Quillan.exe", "Morvask.dll"}) {
        std::wstring source = Wide(from + "\\" + name);
        std::wstring target = Wide(folder->path + "\\" + name);
        if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
            return false;
        }
    }
    return true;
}

bool RemoveRunFolder(RunFolder* folder)
{
    bool gone = RemoveTree(folder->path);
    folder->path.clear();
    return gone;
}

bool StartProcess(ProgramRun* run, const std::string& exe, const std::string& arguments,
                  const std::string& folder)
{
    // The wide call: the program gets the command line as the same UTF-16
    // on every system code page, Japanese included.
    std::wstring line = Wide("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments));
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    std::wstring application = Wide(exe), directory = Wide(folder);
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    run->started = CreateProcessW(application.c_str(), buffer.data(), NULL, NULL, FALSE, 0, NULL,
                                  folder.empty() ? NULL : directory.c_str(), &startup,
                                  &run->process) != 0;
    return run->started;
}

bool StartProgram(ProgramRun* run, const RunFolder& folder, const std::string& arguments)
{
    return StartProcess(run, folder.path + "\\Quillan.exe", arguments, folder.path);
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

HWND WaitForWindow(const ProgramRun& run, const char* title, bool withCombo, int ms)
{
    return WaitForDialog(run.process.dwProcessId, title, withCombo ? IDC_CLIP_COMBO : 0, ms);
}

HWND FindMainWindow(const ProgramRun& run, int ms)
{
    // Looked for every 5 ms: a one-click start copies and ends while its
    // window is still hidden.
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindDialog(run.process.dwProcessId, NULL, IDC_CLIP_COMBO, true);
        if (found || (int)(GetTickCount() - start) >= ms) return found;
        Sleep(5);
    }
}

static bool AccessTime(const std::string& path, FILETIME* accessed, const FILETIME* set)
{
    HANDLE file = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
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
