// The shortcut maker: writes a .lnk that starts this program with a preset
// message or file reference and the start options /g, /e, /x= and /y=.
#include "shortcut_dialog.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>
#include <string.h>

#include "Morvask.h"
#include "app_state.h"
#include "bounded_text.h"
#include "command_line.h"
#include "dialog_field.h"
#include "messages.h"
#include "resource.h"

enum {
    kFieldSize = 256,      // folder and name fields: at most 255 bytes are read
    kBoxTextSize = 1024,   // wsprintfA never writes more
};

static bool IsTicked(HWND dialog, int box)
{
    return SendDlgItemMessageA(dialog, box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The position fields and their labels are shown only while the position
// box is ticked; hidden fields keep their texts.
static void ApplyPositionRule(HWND dialog)
{
    const int show = IsTicked(dialog, IDC_SC_SET_POSITION) ? SW_SHOW : SW_HIDE;
    const int controls[] = {IDC_SC_POS_X_LABEL, IDC_SC_POS_X, IDC_SC_POS_Y_LABEL, IDC_SC_POS_Y};
    for (int id : controls) {
        ShowWindow(GetDlgItem(dialog, id), show);  // returns the old state only
    }
}

// The user's desktop folder. Its result is not examined: on failure the
// buffer stays empty, which the folder test then rejects.
static void GetDesktopFolder(HWND dialog, char* folder)
{
    folder[0] = '\0';
    SHGetSpecialFolderPathA(dialog, folder, CSIDL_DESKTOPDIRECTORY, FALSE);
}

static void StartShortcutDialog(HWND dialog)
{
    // A missing icon leaves the default one; nothing else depends on it.
    HANDLE icon = LoadImageA(m_hInstance, MAKEINTRESOURCEA(IDI_SHORTCUT), IMAGE_ICON,
                             0, 0, LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);

    SetDlgItemTextA(dialog, IDC_SC_MESSAGE, m_ClipText);
    CheckDlgButton(dialog, IDC_SC_AUTO_START, m_AutoStart == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SC_AUTO_EXIT, m_AutoExit == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dialog, IDC_SC_POS_X, (UINT)m_PosX, TRUE);
    SetDlgItemInt(dialog, IDC_SC_POS_Y, (UINT)m_PosY, TRUE);
    ApplyPositionRule(dialog);

    if (m_ClipTitle[0] != '\0') {
        SetDlgItemTextA(dialog, IDC_SC_NAME, m_ClipTitle);
    } else {
        // m_ExeName has at most 255 bytes: the name fits 1024 bytes.
        char name[kBoxTextSize];
        wsprintfA(name, kShortcutNameFormat, m_ExeName);
        SetDlgItemTextA(dialog, IDC_SC_NAME, name);
    }

    if (m_LinkFolder[0] != '\0' && MRVK0_FolderExist(m_LinkFolder) == 1) {
        SetDlgItemTextA(dialog, IDC_SC_FOLDER, m_LinkFolder);
    } else {
        char desktop[MAX_PATH];
        GetDesktopFolder(dialog, desktop);
        SetDlgItemTextA(dialog, IDC_SC_FOLDER, desktop);
    }
}

// True when the text's last character is a backslash. Walks whole code page
// 932 characters from the start, because the second byte of a double-byte
// character such as "ソ" or "表" is 0x5C too, and removing it would corrupt
// the folder name.
static bool EndsWithBackslash(const char* text)
{
    const char* last = nullptr;
    for (const char* at = text; *at != '\0';) {
        last = at;
        at += (IsLeadByte932((unsigned char)*at) && at[1] != '\0') ? 2 : 1;
    }
    return last != nullptr && *last == '\\';
}

static void ReportFolderFailure(HWND dialog, const char* folder)
{
    // The folder has at most 255 bytes, so the text fits 1024 bytes.
    char text[kBoxTextSize];
    wsprintfA(text, kFolderAccessFailed, folder);
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBoxA(dialog, text, kTitleFailure, MB_OK | MB_ICONQUESTION);
}

// The failure text names the link, the target, the arguments and the working
// folder. Together they can exceed the 1023 bytes the message box text has:
// the arguments (up to 1023 bytes themselves) are then cut, on a character
// boundary, so that every line still shows.
static void ReportCreateFailure(HWND dialog, HRESULT status, const char* link,
                                const char* arguments)
{
    // The format less its five conversions, plus up to 8 hexadecimal digits.
    const int fixed = (int)strlen(kShortcutFailed) - 2 * 5 + 8;
    const int others = (int)(strlen(link) + strlen(m_ExePath) + strlen(m_ExeDir));
    const int room = kBoxTextSize - 1 - fixed - others;
    char shown[kTextSize];
    CopyText(shown, room > 0 ? room + 1 : 1, arguments);

    char text[kBoxTextSize];
    wsprintfA(text, kShortcutFailed, (unsigned)status, link, m_ExePath, shown, m_ExeDir);
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBoxA(dialog, text, kTitleFailure, MB_OK | MB_ICONQUESTION);
}

// Composes folder\name.lnk, or folder\<program>のショートカット.lnk for an empty
// name. Returns false when it would not fit MAX_PATH; nothing is cut, since
// a shortened path would name another file.
static bool ComposeLinkPath(const char* folder, const char* name, char* link)
{
    link[0] = '\0';
    AppendText(link, kBoxTextSize, folder);
    AppendText(link, kBoxTextSize, "\\");
    if (name[0] != '\0') {
        AppendText(link, kBoxTextSize, name);
    } else {
        AppendText(link, kBoxTextSize, m_ExeName);
        AppendText(link, kBoxTextSize, kShortcutSuffix);
    }
    AppendText(link, kBoxTextSize, ".lnk");
    return strlen(link) < MAX_PATH;
}

static void MakeShortcut(HWND dialog)
{
    char folder[kFieldSize];
    ReadDialogField(dialog, IDC_SC_FOLDER, folder, kFieldSize);
    if (MRVK0_FolderExist(folder) != 1) {
        ReportFolderFailure(dialog, folder);
        return;
    }
    // A drive root such as C:\ keeps its backslash.
    size_t length = strlen(folder);
    if (length > 3 && EndsWithBackslash(folder)) folder[length - 1] = '\0';
    CopyText(m_LinkFolder, kPathSize, folder);

    char name[kFieldSize];
    ReadDialogField(dialog, IDC_SC_NAME, name, kFieldSize);
    // Room for the longest composition, so that the length test sees it whole.
    char link[kBoxTextSize];
    if (!ComposeLinkPath(folder, name, link)) {
        ReportFolderFailure(dialog, folder);
        return;
    }

    ReadDialogField(dialog, IDC_SC_MESSAGE, m_ClipText, kTextSize);
    const int autoStart = IsTicked(dialog, IDC_SC_AUTO_START);
    const int autoExit = IsTicked(dialog, IDC_SC_AUTO_EXIT);
    const int position = IsTicked(dialog, IDC_SC_SET_POSITION);
    char xText[kTextSize] = "";
    char yText[kTextSize] = "";
    if (position) {
        ReadDialogField(dialog, IDC_SC_POS_X, xText, kTextSize);
        ReadDialogField(dialog, IDC_SC_POS_Y, yText, kTextSize);
    }
    // At most 1023 bytes: when message and options do not fit together, the
    // message is shortened and the options kept.
    char arguments[kTextSize];
    ComposeShortcutArguments(m_ClipText, autoStart, autoExit, position, xText, yText, arguments);

    if (GetFileAttributesA(link) != INVALID_FILE_ATTRIBUTES) {
        // The link path has at most 259 bytes, so the question fits.
        char question[kBoxTextSize];
        wsprintfA(question, kOverwriteQuestion, link);
        if (MessageBoxA(dialog, question, kTitleConfirm, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            return;
        }
    }

    // Already initialised on this thread is as good as initialised now; the
    // call is balanced by CoUninitialize either way.
    CoInitialize(NULL);
    HRESULT status = MRVK0_CreateShortCut(link, m_ExePath, arguments, m_ExeDir);
    if (status < 0) {
        ReportCreateFailure(dialog, status, link, arguments);
    } else {
        MessageBeep(MB_ICONASTERISK);
    }
    CoUninitialize();
}

// The common file dialog stands in for a folder chooser: the user opens a
// folder and confirms the preset name, or picks any file in it; the folder
// is the returned path without its file title.
static void ChooseFolder(HWND dialog)
{
    char desktop[MAX_PATH];
    GetDesktopFolder(dialog, desktop);
    char path[MAX_PATH];
    char title[MAX_PATH];
    CopyText(path, MAX_PATH, kFolderChooserPreset);
    title[0] = '\0';

    OPENFILENAMEA chooser;
    memset(&chooser, 0, sizeof chooser);
    chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    chooser.hwndOwner = dialog;
    chooser.lpstrFile = path;
    chooser.nMaxFile = MAX_PATH;
    chooser.lpstrFileTitle = title;
    chooser.nMaxFileTitle = MAX_PATH;
    chooser.lpstrInitialDir = desktop;
    chooser.lpstrTitle = kFolderChooserTitle;
    if (GetOpenFileNameA(&chooser) != TRUE) return;  // cancelled or failed

    const int pathLength = (int)strlen(path);
    const int titleLength = (int)strlen(title);
    if (titleLength > 0 && titleLength <= pathLength) {
        // Drop the separator before the title, except after a drive root.
        const int titleStart = pathLength - titleLength;
        path[titleStart > 3 ? titleStart - 1 : titleStart] = '\0';
    }
    SetDlgItemTextA(dialog, IDC_SC_FOLDER, path);
}

INT_PTR CALLBACK ShortcutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        StartShortcutDialog(dialog);
        return TRUE;  // focus on the first control, the message field

    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            MakeShortcut(dialog);
            return TRUE;
        case IDCANCEL:
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_SC_SET_POSITION:
            ApplyPositionRule(dialog);
            return TRUE;
        case IDC_SC_BROWSE_FOLDER:
            ChooseFolder(dialog);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
