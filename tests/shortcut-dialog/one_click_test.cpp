// The one-click launcher, end to end: a shortcut made through the dialog
// with a message, /g and /e starts the real program the way the shell would,
// which copies the message and closes again.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "app_state.h"
#include "dialog_driver.h"
#include "resource.h"

namespace {

bool PutOnClipboard(const char* text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    if (!block) return false;
    strcpy((char*)GlobalLock(block), text);
    GlobalUnlock(block);
    if (!OpenClipboard(NULL)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool taken = SetClipboardData(CF_TEXT, block) != NULL;
    CloseClipboard();
    if (!taken) GlobalFree(block);
    return taken;
}

std::string ClipboardText()
{
    std::string text = "(clipboard could not be opened)";
    for (int i = 0; i < 50; ++i) {
        if (OpenClipboard(NULL)) {
            HANDLE data = GetClipboardData(CF_TEXT);
            const char* bytes = data ? (const char*)GlobalLock(data) : nullptr;
            text = bytes ? bytes : "(no text on the clipboard)";
            if (bytes) GlobalUnlock(data);
            CloseClipboard();
            break;
        }
        Sleep(20);
    }
    return text;
}

TEST(OneClickLauncher, ShortcutMadeThroughDialogCopiesMessageAndProgramCloses)
{
    SetProgramState();
    ASSERT_NE(GetFileAttributesA(m_ExePath), INVALID_FILE_ATTRIBUTES)
        << "the program is not built beside this test: " << m_ExePath;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char folder[MAX_PATH];
    wsprintfA(folder, "%squillan-one-click-%lu", temp, GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder, NULL));
    const std::string linkPath = std::string(folder) + "\\Good morning.lnk";

    // What the main dialog hands over for the entry "Good morning".
    strcpy(m_ClipText, "Good morning");
    HWND dialog = OpenShortcutDialog();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, IDC_SC_NAME, "Good morning");
    SetDlgItemTextA(dialog, IDC_SC_FOLDER, folder);
    SetBox(dialog, IDC_SC_AUTO_START, true);
    SetBox(dialog, IDC_SC_AUTO_EXIT, true);
    BoxWatcher watcher;
    StartBoxWatcher(&watcher, IDNO);
    PressButton(dialog, IDOK);
    StopBoxWatcher(&watcher);
    DestroyWindow(dialog);
    EXPECT_EQ(watcher.count, 0) << "unexpected message: " << watcher.boxes[0].text;

    ShortcutRecord shortcut = ReadShortcut(linkPath.c_str());
    DeleteFileA(linkPath.c_str());
    RemoveDirectoryA(folder);
    ASSERT_TRUE(shortcut.loaded) << "no readable shortcut at " << linkPath;

    // Start it as the shell does: target, arguments, working folder.
    ASSERT_TRUE(PutOnClipboard("before"));
    char commandLine[2048];
    wsprintfA(commandLine, "\"%s\" %s", shortcut.target, shortcut.arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(shortcut.target, commandLine, NULL, NULL, FALSE, 0, NULL,
                               shortcut.workDir, &startup, &process))
        << "error " << GetLastError() << " starting " << commandLine;
    DWORD waited = WaitForSingleObject(process.hProcess, 15000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    EXPECT_EQ(waited, (DWORD)WAIT_OBJECT_0) << "the program was still running after 15 s";
    EXPECT_EQ(ClipboardText(), "Good morning") << "started as: " << commandLine;
}

}  // namespace
