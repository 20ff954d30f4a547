// What the Windows tests and their helper programs share: folders and files
// of their own, windows of this or another process read through the wide
// messages, message boxes answered by title, the clipboard, and the real
// Quillan.exe started with a command line and ended again.
//
// The tests' strings are code page 932 bytes, as their literals are
// compiled. Everything here hands them to Windows as UTF-16 converted with
// code page 932 and gives results back the same way, never through the
// system code page: the same test then means the same on a Japanese, an
// English or a UTF-8 Windows, and a failure there is the program's.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// --- Code page 932 text ----------------------------------------------------

std::wstring Wide(const std::string& cp932);
// Characters that code page 932 lacks become '?'.
std::string Narrow(const std::wstring& wide);

// --- Folders and files --------------------------------------------------

// The folder this program (and Quillan.exe and Morvask.dll beside it) runs
// from, without a trailing backslash.
std::string ProgramFolder();

// Makes a fresh folder "<temp>quillan-<what>-<process>-<n>". False when it
// could not be made.
bool MakeScratchFolder(const char* what, std::string* path);
// Deletes a folder and everything in it, read-only or not. True when gone.
bool RemoveTree(const std::string& folder);
// Names in a folder, sorted, shown as [a][b].
std::string FolderNames(const std::string& folder);

// A fresh folder for one test, removed with all it holds when it goes.
// `path` is empty when it could not be made.
struct ScratchFolder {
    std::string path;
    explicit ScratchFolder(const char* what = "test");
    ~ScratchFolder();
    std::string File(const std::string& name) const;
    // Writes a new file in the folder and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const;
};

// Creates or replaces a file with exactly these bytes. True when all went.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// The file's bytes, or "<cannot be read>".
std::string ReadWholeFile(const std::string& path);

// --- Windows of this or another process ----------------------------------

// Through the wide messages (Wine passes the ANSI text queries across
// processes unconverted, and its ANSI conversion of item texts overruns past
// 512 characters), any length, given back in code page 932.
std::string WindowText(HWND window);
std::vector<std::string> ComboItems(HWND combo);
std::vector<std::string> ListItems(HWND list);
// The same items as UTF-16, for texts that are not valid code page 932.
std::vector<std::wstring> ComboItemsWide(HWND combo);
std::vector<std::wstring> ListItemsWide(HWND list);
// A code page 932 text as UTF-8, the form the program keeps paths in.
std::string Utf8(const std::string& cp932);
// Items shown as [a][b] for comparisons and failure messages; an item over
// 100 bytes shows its first 16 bytes and its size.
std::string Show(const std::vector<std::string>& items);

// A dialog window (class #32770) of `process` (any process when 0) whose
// caption is `title` (any when null) and that holds a control `childId`
// (any when 0); visible, or hidden too when `hiddenToo`. One look.
HWND FindDialog(DWORD process, const char* title, int childId, bool hiddenToo);
// The same, visible (or hidden too), polled for up to `ms`.
HWND WaitForDialog(DWORD process, const char* title, int childId, int ms,
                   bool hiddenToo = false);
// The longest static text of a message box: its message.
std::string MessageBoxText(HWND box);

// --- Waiting until a program has done something ---------------------------
//
// What a test waits on instead of a fixed sleep: a window appearing
// (WaitForDialog above), a window going, a window's thread being done with
// what it was handling, the clipboard changing, a process ending
// (WaitForExit below). Each is bounded by `ms`.

// True once `window` is gone (destroyed; with `hiddenIsGone`, hidden too),
// looked at every 10 ms for up to `ms`. A caller that owns windows has its
// own messages handled meanwhile, so a window of its own thread can close.
bool WaitForWindowGone(HWND window, int ms, bool hiddenIsGone = false);
// True once the thread of `window` answered WM_NULL within `ms`: it has
// finished what it was handling when the message came (a command posted to
// it and already begun, or a message box it showed and that is answered),
// and is back in its message loop. False when it did not answer in time or
// the window went meanwhile.
bool WaitForWindowAnswer(HWND window, int ms);
// True once the clipboard's sequence number (GetClipboardSequenceNumber)
// differs from `before` and, when `owner` is given, that window owns the
// clipboard or has gone (a copy that ends its program): someone, or that
// window's program, put something on it. Polled every 10 ms for up to `ms`.
bool WaitForClipboardChange(DWORD before, HWND owner, int ms);

// --- Message boxes answered from a thread of their own --------------------

struct AnsweredBox {
    std::string title;
    std::string text;
    bool owned;  // it had an owner window
};
// "title:text", and "(owned)" when it had an owner, each as [..].
std::string ShowBoxes(const std::vector<AnsweredBox>& boxes);

// Answers every message box titled "確認" or "失敗" that `process` shows,
// as soon as it shows: "確認" with `confirmAnswer`, "失敗" with OK. Keeps
// each box it answered.
struct BoxAnswerer {
    DWORD process;
    int confirmAnswer;
    HANDLE thread;
    volatile LONG stop;
    volatile LONG settled;  // answered boxes that have gone or hidden
    CRITICAL_SECTION lock;
    std::vector<AnsweredBox> seen;
};
void StartBoxAnswerer(BoxAnswerer* answerer, DWORD process, int confirmAnswer = IDOK);
// What was answered so far.
std::vector<AnsweredBox> BoxesAnswered(BoxAnswerer* answerer);
// True once `count` boxes were answered and each of them has gone (or at
// least hidden), polled for up to `ms`: the program is past them.
bool WaitForBoxes(BoxAnswerer* answerer, size_t count, int ms);
// Stops the thread (safe when not started or already stopped) and gives
// what it answered; a box showing when it stops is answered and counted
// too, as the last one.
std::vector<AnsweredBox> StopBoxAnswerer(BoxAnswerer* answerer);

// --- The clipboard ---------------------------------------------------------

// The clipboard's text (CF_UNICODETEXT) in code page 932, up to its first
// zero, or a marker saying why there is none: what a user sees on any
// system code page. Waits up to a second for the clipboard to open.
std::string ClipboardText();
// The clipboard's CF_TEXT bytes up to the first zero, or a marker: what a
// program of the system code page reads.
std::string ClipboardAnsiText();
// Replaces the clipboard with a text, as CF_TEXT with exactly these bytes
// and as CF_UNICODETEXT. False when it could not.
bool PutOnClipboard(const char* text);

// --- The real program --------------------------------------------------------

// A fresh folder holding Quillan.exe and Morvask.dll (taken from beside this
// test program).
struct RunFolder {
    std::string path;
};
bool MakeRunFolder(RunFolder* folder);
// Deletes the folder with all files. True when gone.
bool RemoveRunFolder(RunFolder* folder);

// One started process. FinishProgram() closes what is still open (WM_CLOSE,
// then TerminateProcess after a generous wait), so no window outlives a
// test.
struct ProgramRun {
    PROCESS_INFORMATION process;
    bool started;
};
// Starts `exe` with the command line "\"exe\" arguments" in `folder` (the
// caller's folder when empty).
bool StartProcess(ProgramRun* run, const std::string& exe, const std::string& arguments,
                  const std::string& folder);
// Quillan.exe of the run folder, started in it.
bool StartProgram(ProgramRun* run, const RunFolder& folder, const std::string& arguments);
// The exit code once the process ended by itself within `ms`, else -1.
int WaitForExit(ProgramRun* run, int ms);
void FinishProgram(ProgramRun* run);

// The first visible dialog window of the run whose caption is `title` (any
// caption when null) and, when `withCombo`, that holds the main window's
// drop-down list; polled for up to `ms`.
HWND WaitForWindow(const ProgramRun& run, const char* title, bool withCombo, int ms);
// The main window of the run (the dialog holding the drop-down list),
// visible or not: a modal dialog shows only once its first messages are
// handled, so an automatic copy runs while it is still hidden.
HWND FindMainWindow(const ProgramRun& run, int ms);

// Whether the program read a file: its last-access time is first set days
// back, and file systems that keep access times (even lazily, as Linux's
// relatime does under Wine) bring it forward on the next read.
bool AgeLastAccess(const std::string& path);
bool ReadSinceAged(const std::string& path);
