#include "dialog_driver.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <string.h>

#include "app_state.h"
#include "resource.h"
#include "shortcut_dialog.h"

void SetProgramState()
{
    m_hInstance = GetModuleHandleA(NULL);
    GetModuleFileNameA(NULL, m_ExeDir, kPathSize);
    *strrchr(m_ExeDir, '\\') = '\0';
    wsprintfA(m_ExePath, "%s\\Quillan.exe", m_ExeDir);
    strcpy(m_ExeName, "Quillan");
    m_LinkFolder[0] = '\0';
    m_ClipText[0] = '\0';
    m_AutoStart = 0;
    m_AutoExit = 0;
    m_PosX = 120;
    m_PosY = 64;
}

HWND OpenShortcutDialog(const ShortcutProposal* proposal)
{
    return CreateDialogParamA(m_hInstance, MAKEINTRESOURCEA(IDD_SHORTCUT), NULL,
                              ShortcutDlgProc, (LPARAM)proposal);
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

// A code page 932 copy of `wide` in a buffer of `size` bytes, cut when it
// does not fit (the buffers match the shortcut's own limits).
static void CopyNarrow(const wchar_t* wide, char* buffer, size_t size)
{
    std::string text = Narrow(wide);
    lstrcpynA(buffer, text.c_str(), (int)size);
}

ShortcutRecord ReadShortcut(const char* path)
{
    // The wide interface read back in code page 932, as the tests write
    // their strings, whatever the system code page.
    ShortcutRecord record = {};
    CoInitialize(NULL);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH], arguments[1024], workDir[MAX_PATH];
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   (void**)&link)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)) &&
        SUCCEEDED(file->Load(Wide(path).c_str(), STGM_READ))) {
        record.loaded = SUCCEEDED(link->GetPath(target, MAX_PATH, NULL, 0)) &&
                        SUCCEEDED(link->GetArguments(arguments, 1024)) &&
                        SUCCEEDED(link->GetWorkingDirectory(workDir, MAX_PATH)) &&
                        SUCCEEDED(link->GetHotkey(&record.key));
    }
    if (record.loaded) {
        CopyNarrow(target, record.target, sizeof record.target);
        CopyNarrow(arguments, record.arguments, sizeof record.arguments);
        CopyNarrow(workDir, record.workDir, sizeof record.workDir);
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return record;
}

bool MakeOneClickShortcut(const char* folder, const char* name, const char* message,
                          std::vector<AnsweredBox>* boxes, WORD key)
{
    // What the main dialog hands over for an entry of that message.
    ShortcutProposal proposal = {"", "", kCodePage932};
    lstrcpynA(proposal.message, message, sizeof proposal.message);
    HWND dialog = OpenShortcutDialog(&proposal);
    if (!dialog) return false;
    SetDlgItemTextA(dialog, IDC_SC_NAME, name);
    SetDlgItemTextA(dialog, IDC_SC_FOLDER, folder);
    SetBox(dialog, IDC_SC_AUTO_START, true);
    SetBox(dialog, IDC_SC_AUTO_EXIT, true);
    SendDlgItemMessageA(dialog, IDC_SC_HOTKEY, HKM_SETHOTKEY, key, 0);
    BoxAnswerer answerer = {};
    StartBoxAnswerer(&answerer, GetCurrentProcessId(), IDNO);
    PressButton(dialog, IDOK);
    *boxes = StopBoxAnswerer(&answerer);
    DestroyWindow(dialog);
    return true;
}

bool MakeGoodMorningShortcut(const char* folder, std::vector<AnsweredBox>* boxes)
{
    return MakeOneClickShortcut(folder, "Good morning", "Good morning", boxes, kGoodMorningKey);
}
