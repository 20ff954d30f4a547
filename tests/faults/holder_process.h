// Starting fault_holder.exe (beside the test program) to hold the clipboard
// or a file from another process, and letting it go again.
#pragma once
#include <windows.h>

#include <string>

struct HolderProcess {
    PROCESS_INFORMATION process;
    HANDLE ready;
    HANDLE release;
    bool started;
};

// Starts the holder and waits until it holds. `what` is "clipboard",
// "file" or "reader" (then `path` names the file; fault_holder.cpp). The holder lets go by itself after
// maxMs. False, with nothing left running, when it could not hold.
bool StartHolder(HolderProcess* holder, const char* what, const std::string& path, int maxMs);

// Lets go and waits for the holder to end (ending it after a generous
// wait). Returns its exit code, 0 when it held; safe to call twice.
int ReleaseHolder(HolderProcess* holder);
