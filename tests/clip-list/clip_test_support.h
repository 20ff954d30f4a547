// Helpers for the clip list and copy tests: a folder of their own, files
// byte for byte, real controls, message boxes answered from another thread,
// and a clipboard held by another thread.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with all it holds.
struct TempFolder {
    char path[MAX_PATH];
    TempFolder();
    ~TempFolder();
    std::string File(const char* name) const;
    // Names of everything in the folder, sorted.
    std::vector<std::string> Names() const;
};

void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);

// A top-level window holding a drop-down combo box (id 1000) and a list box
// (id 1011), neither sorting, as the program's dialogs have them.
struct TestWindow {
    HWND window;
    HWND combo;
    HWND list;
    TestWindow();
    ~TestWindow();
};

std::vector<std::string> ComboItems(HWND combo);
std::vector<std::string> ListItems(HWND list);
std::string WindowText(HWND window);
// Items shown as [a][b] for failure messages.
std::string Show(const std::vector<std::string>& items);

// Answers every message box titled "確認" or "失敗" that shows while it
// runs, pressing OK, and records each as "title:text", and "(owned)" when
// it had an owner window.
struct BoxAnswerer {
    HANDLE thread;
    volatile LONG stop;
    CRITICAL_SECTION lock;
    std::vector<std::string> seen;
    BoxAnswerer();
    ~BoxAnswerer();
    // Stops the thread and gives what it saw.
    std::vector<std::string> Finish();
};

// Holds the clipboard open with a window of its own, from its own thread,
// for `holdMs` milliseconds from construction.
struct ClipboardHolder {
    HANDLE thread;
    HANDLE opened;
    DWORD holdMs;
    explicit ClipboardHolder(DWORD holdMs);
    ~ClipboardHolder();
};

// The clipboard's CF_TEXT block as bytes (its whole size), or "<none>".
std::string ClipboardBlock();
// Puts a text on the clipboard, to see whether a copy changes it.
void SetClipboardTextForTest(const char* text);
