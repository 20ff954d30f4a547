#include "holder_process.h"

#include <string.h>

#include <vector>

static std::string HolderPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    *strrchr(path, '\\') = '\0';
    return std::string(path) + "\\fault_holder.exe";
}

bool StartHolder(HolderProcess* holder, const char* what, const std::string& path, int maxMs)
{
    static int serial = 0;
    ZeroMemory(holder, sizeof *holder);
    std::string events = "quillan-fault-holder-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++serial);
    holder->ready = CreateEventA(NULL, TRUE, FALSE, (events + "-ready").c_str());
    holder->release = CreateEventA(NULL, TRUE, FALSE, (events + "-release").c_str());
    std::string exe = HolderPath();
    std::string line = "\"" + exe + "\" " + what + " " + events + " " + std::to_string(maxMs);
    if (!path.empty()) line += " \"" + path + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    holder->started = holder->ready && holder->release &&
                      CreateProcessA(exe.c_str(), buffer.data(), NULL, NULL, FALSE, 0, NULL,
                                     NULL, &startup, &holder->process);
    if (!holder->started) {
        ReleaseHolder(holder);
        return false;
    }
    // Held, or the holder gave up and ended.
    HANDLE either[2] = {holder->ready, holder->process.hProcess};
    if (WaitForMultipleObjects(2, either, FALSE, 20000) != WAIT_OBJECT_0) {
        ReleaseHolder(holder);
        return false;
    }
    return true;
}

int ReleaseHolder(HolderProcess* holder)
{
    DWORD code = 99;
    if (holder->started) {
        SetEvent(holder->release);
        if (WaitForSingleObject(holder->process.hProcess, 10000) == WAIT_TIMEOUT) {
            TerminateProcess(holder->process.hProcess, 98);
            WaitForSingleObject(holder->process.hProcess, 5000);
        }
        GetExitCodeProcess(holder->process.hProcess, &code);
        CloseHandle(holder->process.hThread);
        CloseHandle(holder->process.hProcess);
        holder->started = false;
    }
    if (holder->ready) CloseHandle(holder->ready);
    if (holder->release) CloseHandle(holder->release);
    holder->ready = holder->release = NULL;
    return (int)code;
}
