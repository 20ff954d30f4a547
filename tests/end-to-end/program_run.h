// Starting the real Quillan.exe as a user would: in a fresh folder of its
// own with its library and a ClipData.txt, with a command line; and seeing
// its windows from outside, across the process boundary.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temp folder holding Quillan.exe and Morvask.dll
// (taken from beside this test program). Remove() deletes it with all files.
struct RunFolder {
    std::string path;
};
bool MakeRunFolder(RunFolder* folder);
void RemoveRunFolder(RunFolder* folder);
bool WriteBytes(const std::string& path, const std::string& bytes);

// One run of the program. Finish() closes what is still open (WM_CLOSE,
// then TerminateProcess after a generous wait), so no window outlives a
// test.
struct ProgramRun {
    PROCESS_INFORMATION process;
    bool started;
};
bool StartProgram(ProgramRun* run, const RunFolder& folder, const std::string& arguments);
// The exit code once the process ended by itself within `ms`, else -1.
int WaitForExit(ProgramRun* run, int ms);
void FinishProgram(ProgramRun* run);

// The first visible dialog window of the process whose caption is `title`
// (any caption when title is null) and, when `withCombo`, that holds the
// main window's drop-down list; polled for up to `ms`.
HWND WaitForWindow(const ProgramRun& run, const char* title, bool withCombo, int ms);

// Window texts and drop-down items of another process, through the wide
// messages (Wine passes the ANSI item messages across processes
// unconverted), given back in code page 932.
std::string WindowText(HWND window);
std::vector<std::string> ComboItems(HWND combo);
// The longest static text of a message box: its message.
std::string MessageBoxText(HWND box);

// The clipboard's CF_TEXT, or a marker saying why there is none.
std::string ClipboardText();
void PutOnClipboard(const char* text);

// Whether the program read a file: its last-access time is first set days
// back, and file systems that keep access times (even lazily, as Linux's
// relatime does under Wine) bring it forward on the next read.
bool AgeLastAccess(const std::string& path);
bool ReadSinceAged(const std::string& path);
