#include "holder_process.h"

#include "test_support.h"

bool StartHolder(HolderProcess* holder, const char* what, const std::string& path, int maxMs)
{
    static int serial = 0;
    ZeroMemory(holder, sizeof *holder);
    std::string events = "quillan-fault-holder-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++serial);
    holder->ready = CreateEventA(NULL, TRUE, FALSE, (events + "-ready").c_str());
    holder->release = CreateEventA(NULL, TRUE, FALSE, (events + "-release").c_str());
    std::string arguments = std::string(what) + " " + events + " " + std::to_string(maxMs);
    if (!path.empty()) arguments += " \"" + path + "\"";
    ProgramRun run = {};
    holder->started = holder->ready && holder->release &&
                      StartProcess(&run, ProgramFolder() + "\\fault_holder.exe", arguments, "");
    holder->process = run.process;
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
