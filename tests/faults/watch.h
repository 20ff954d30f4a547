// Watching the real Quillan.exe from outside when things go wrong: its
// message boxes answered from a helper thread and recorded, its main window
// found even while it is still hidden, its lists read across the process
// boundary, and its folder removed whatever was left in it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "program_run.h"

// Answers every message box titled "確認" or "失敗" of one process with OK
// as soon as it shows, and records each as "title:text".
struct BoxWatch {
    HANDLE thread;
    DWORD process;
    volatile LONG stop;
    CRITICAL_SECTION lock;
    std::vector<std::string> seen;
};
void StartBoxWatch(BoxWatch* watch, DWORD process);
// What was answered so far.
std::vector<std::string> BoxesSeen(BoxWatch* watch);
// True once `count` boxes were answered, polled for up to `ms`.
bool WaitForBoxes(BoxWatch* watch, size_t count, int ms);
void StopBoxWatch(BoxWatch* watch);

// The main window of the run (the dialog holding the drop-down list),
// visible or not: a modal dialog shows only once its first messages are
// handled, so an automatic copy runs while it is still hidden.
HWND FindMainWindow(const ProgramRun& run, int ms);

// Items of another process's drop-down or list box through the wide
// messages, as UTF-16.
std::vector<std::wstring> ComboItemsWide(HWND combo);
std::vector<std::wstring> ListItemsWide(HWND list);
std::wstring Wide(const std::string& cp932);

std::string ReadBytes(const std::string& path);
// Names in a folder, sorted, shown as [a][b].
std::string FolderNames(const std::string& folder);
// Deletes a folder and everything in it, read-only or not. True when gone.
bool RemoveTree(const std::string& folder);
