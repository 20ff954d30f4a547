#include "dialog_driver.h"

#include <objbase.h>
#include <shlobj.h>
#include <string.h>

#include "app_state.h"
#include "messages.h"
#include "resource.h"
#include "shortcut_dialog.h"

struct FindBox {
    HWND found;
    char title[64];
};

static BOOL CALLBACK FindOwnBox(HWND window, LPARAM lParam)
{
    FindBox* find = (FindBox*)lParam;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16];
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
        !GetClassNameA(window, className, sizeof className) ||
        strcmp(className, "#32770") != 0) {
        return TRUE;
    }
    GetWindowTextA(window, find->title, sizeof find->title);
    if (strcmp(find->title, kTitleConfirm) == 0 || strcmp(find->title, kTitleFailure) == 0) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

// The box's text is its longest static text (the icon is a static too).
static BOOL CALLBACK ReadBoxText(HWND child, LPARAM lParam)
{
    char className[16];
    char text[kBoxText];
    if (GetClassNameA(child, className, sizeof className) &&
        lstrcmpiA(className, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0 &&
        strlen(text) > strlen((char*)lParam)) {
        strcpy((char*)lParam, text);
    }
    return TRUE;
}

static DWORD WINAPI WatchBoxes(void* parameter)
{
    BoxWatcher* watcher = (BoxWatcher*)parameter;
    while (WaitForSingleObject(watcher->stop, 20) == WAIT_TIMEOUT) {
        FindBox find = {};
        EnumWindows(FindOwnBox, (LPARAM)&find);
        if (!find.found) continue;
        if (watcher->count < kMaxBoxes) {
            SeenBox* box = &watcher->boxes[watcher->count];
            strcpy(box->title, find.title);
            box->text[0] = '\0';
            EnumChildWindows(find.found, ReadBoxText, (LPARAM)box->text);
        }
        ++watcher->count;
        int answer = strcmp(find.title, kTitleConfirm) == 0 ? watcher->confirmAnswer : IDOK;
        PostMessageA(find.found, WM_COMMAND, answer, 0);
        for (int i = 0; i < 100 && IsWindow(find.found); ++i) Sleep(20);
    }
    return 0;
}

void StartBoxWatcher(BoxWatcher* watcher, int confirmAnswer)
{
    memset(watcher, 0, sizeof *watcher);
    watcher->confirmAnswer = confirmAnswer;
    watcher->stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    watcher->thread = CreateThread(NULL, 0, WatchBoxes, watcher, 0, NULL);
}

void StopBoxWatcher(BoxWatcher* watcher)
{
    SetEvent(watcher->stop);
    WaitForSingleObject(watcher->thread, INFINITE);
    CloseHandle(watcher->thread);
    CloseHandle(watcher->stop);
}

void SetProgramState()
{
    m_hInstance = GetModuleHandleA(NULL);
    GetModuleFileNameA(NULL, m_ExeDir, kPathSize);
    *strrchr(m_ExeDir, '\\') = '\0';
    wsprintfA(m_ExePath, "%s\\Quillan.exe", m_ExeDir);
    strcpy(m_ExeName, "Quillan");
    m_LinkFolder[0] = '\0';
    m_ClipText[0] = '\0';
    m_ClipTitle[0] = '\0';
    m_AutoStart = 0;
    m_AutoExit = 0;
    m_PosX = 120;
    m_PosY = 64;
}

HWND OpenShortcutDialog()
{
    return CreateDialogParamA(m_hInstance, MAKEINTRESOURCEA(IDD_SHORTCUT), NULL,
                              ShortcutDlgProc, 0);
}

void PressButton(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void SetBox(HWND dialog, int id, bool ticked)
{
    CheckDlgButton(dialog, id, ticked ? BST_CHECKED : BST_UNCHECKED);
    PressButton(dialog, id);
}

ShortcutRecord ReadShortcut(const char* path)
{
    ShortcutRecord record = {};
    CoInitialize(NULL);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    WCHAR widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void**)&link)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)) &&
        SUCCEEDED(file->Load(widePath, STGM_READ))) {
        record.loaded = SUCCEEDED(link->GetPath(record.target, MAX_PATH, NULL, 0)) &&
                        SUCCEEDED(link->GetArguments(record.arguments, 1024)) &&
                        SUCCEEDED(link->GetWorkingDirectory(record.workDir, MAX_PATH));
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return record;
}
