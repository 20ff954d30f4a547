// The main window: an editable drop-down list of clip entries, the copy
// button, a file picker, and the doors to the list editor and the shortcut
// maker.
#include "main_dialog.h"

#include "Morvask.h"
#include "app_state.h"
#include "bounded_text.h"
#include "choose_text_file.h"
#include "clip_copy.h"
#include "clip_editor.h"
#include "clip_entry.h"
#include "clip_list_file.h"
#include "command_line.h"
#include "messages.h"
#include "resource.h"
#include "shortcut_dialog.h"

// The program's own version record: Japanese strings, Unicode code page.
static const char kVersionTable[] = "041104b0";

// Room for each half of the caption and for the caption itself.
enum { kVersionLabelSize = 100, kCaptionSize = 300 };

void GetProgramPaths(char* exePath, char* exeDir, char* exeName)
{
    // A path that does not fit is cut by the platform; older systems leave
    // it unterminated then, so terminate it ourselves.
    GetModuleFileNameA(NULL, exePath, kPathSize);
    exePath[kPathSize - 1] = '\0';

    // The library hands out up to 260 bytes per item; exeName is smaller, so
    // both items pass through a full-size buffer and are cut on a character
    // boundary where they do not fit.
    char item[kPathSize] = "";
    int split = MRVK0_SplitPath(exePath);
    if (MRVK0_GetSplitItem(split, 5, item) != 0) item[0] = '\0';
    CopyText(exeDir, kPathSize, item);
    item[0] = '\0';
    if (MRVK0_GetSplitItem(split, 3, item) != 0) item[0] = '\0';
    CopyText(exeName, kNameSize, item);
}

void PlaceMainWindow(HWND dialog)
{
    // Keep the template's size; only the position comes from the command
    // line. It is deliberately not checked against the screen.
    WindowPands pands = MRVK0_GetWindowPands(dialog);
    MoveWindow(dialog, m_PosX, m_PosY, pands.width, pands.height, TRUE);

    char path[300] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    path[sizeof path - 1] = '\0';

    // The library may write up to 128 bytes; our half of the caption is cut
    // to 99 on a character boundary. Without a version record the program's
    // half stays empty.
    char label[128];
    char programVersion[kVersionLabelSize] = "";
    if (MRVK0_GetFileVersionString(path, kVersionTable, label) == 0) {
        CopyText(programVersion, sizeof programVersion, label);
    }
    char libraryVersion[kVersionLabelSize] = "";
    MRVK0_GetVersionString(libraryVersion);  // always succeeds, 27 bytes

    // 99 + 5 + 99 bytes and the terminator: always fits.
    char caption[kCaptionSize];
    wsprintfA(caption, "%s  /  %s", programVersion, libraryVersion);
    SetWindowTextA(dialog, caption);

    // Shared: the system owns the icon and frees it; no cleanup needed.
    HANDLE icon = LoadImageA(m_hInstance, MAKEINTRESOURCEA(IDI_QUILLAN), IMAGE_ICON,
                             0, 0, LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);
}

static void LoadListIntoCombo(HWND dialog)
{
    char path[kTextSize];
    GetClipListPath(path);
    // A missing or unreadable file leaves the list as it was; that is still
    // a loaded list, so the copy command does not try again.
    LoadClipList(GetDlgItem(dialog, IDC_CLIP_COMBO), path, kComboBox);
    m_ListLoaded = 1;
}

static void StartMainDialog(HWND dialog)
{
    m_LinkFolder[0] = '\0';
    GetProgramPaths(m_ExePath, m_ExeDir, m_ExeName);
    ParseCommandLine();
    PlaceMainWindow(dialog);

    // A one-click copy that closes again does not need the list; the copy
    // command loads it if the copy fails.
    bool oneClick = m_ClipText[0] != '\0' && m_AutoStart && m_AutoExit;
    if (!oneClick) LoadListIntoCombo(dialog);

    // After the load: loading empties the edit field.
    if (m_ClipText[0] != '\0') {
        SendDlgItemMessageA(dialog, IDC_CLIP_COMBO, WM_SETTEXT, 0, (LPARAM)m_ClipText);
    }
    if (m_AutoStart == 1) {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
}

// The shortcut maker proposes the current entry: its title as the name, its
// message (or "/f=" and the bare path) as the shortcut's message.
static void MakeShortcut(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, IDC_CLIP_COMBO);
    int length = (int)SendMessageA(combo, WM_GETTEXTLENGTH, 0, 0);
    m_ClipTitle[0] = '\0';
    m_ClipText[0] = '\0';
    if (length > 0) {
        HGLOBAL block = NULL;
        void* text = NULL;
        if (MRVK0_GetGlobalMemory(&block, &text, (DWORD)length + 1) != 0 || !text) {
            // Without the entry's text the dialog would propose nothing the
            // user chose; say so instead of opening it half-filled.
            MRVK0_GetGlobalMemory(&block, &text, 0);
            MessageBoxA(NULL, kMemoryFailed, kTitleConfirm, MB_OK | MB_ICONQUESTION);
            return;
        }
        SendMessageA(combo, WM_GETTEXT, (WPARAM)length + 1, (LPARAM)text);
        // Title and message are cut to their 1024-byte buffers.
        SplitClipEntry((const char*)text, m_ClipTitle, kTextSize, m_ClipText, kTextSize);
        MRVK0_GetGlobalMemory(&block, &text, 0);
    }
    // The dialog always ends with 2; nothing depends on how it ended.
    DialogBoxParamA(m_hInstance, MAKEINTRESOURCEA(IDD_SHORTCUT), dialog, ShortcutDlgProc, 0);
}

static void EditClipList(HWND dialog)
{
    INT_PTR result = DialogBoxParamA(m_hInstance, MAKEINTRESOURCEA(IDD_CLIP_EDITOR), dialog,
                                     ClipEditorDlgProc, 0);
    if (result == 1) LoadListIntoCombo(dialog);  // the editor saved the list
}

static void BrowseTextFile(HWND dialog)
{
    char path[kPathSize];
    if (!ChooseTextFile(dialog, path)) return;  // cancelled: nothing changes
    // At most 259 bytes of path and 5 of markup: fits.
    char entry[kPathSize + 8];
    wsprintfA(entry, "/f=\"%s\"", path);
    SendDlgItemMessageA(dialog, IDC_CLIP_COMBO, WM_SETTEXT, 0, (LPARAM)entry);
}

INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        StartMainDialog(dialog);
        return TRUE;  // focus on the first tab stop, the file button

    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            CopyClipText(dialog);
            return TRUE;
        case IDCANCEL:
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_MAKE_SHORTCUT:
            MakeShortcut(dialog);
            return TRUE;
        case IDC_EDIT_LIST:
            EditClipList(dialog);
            return TRUE;
        case IDC_BROWSE_TEXT_FILE:
            BrowseTextFile(dialog);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
