// The main window: an editable drop-down list of clip entries, the copy
// button, a file picker, and the doors to the list editor and the shortcut
// maker.
#include "main_dialog.h"

#include <string.h>

#include "Morvask.h"
#include "app_state.h"
#include "bounded_text.h"
#include "choose_text_file.h"
#include "clip_editor.h"
#include "clip_entry.h"
#include "clip_list_file.h"
#include "copy_command.h"
#include "dialog_field.h"
#include "main_entry.h"
#include "message_box.h"
#include "messages.h"
#include "resource.h"
#include "shortcut_dialog.h"
#include "text_convert.h"

// The program's own version record: Japanese strings, Unicode code page.
static const char kVersionTable[] = "041104b0";

// Room for each half of the caption and for the caption itself.
enum { kVersionLabelSize = 100, kCaptionSize = 300 };

bool GetProgramPaths(char* exePath, char* exeDir, char* exeName)
{
    exePath[0] = exeDir[0] = exeName[0] = '\0';
    // One unit more than the file functions take: a path that fills it was
    // cut or is too long, and is refused rather than taken cut.
    WCHAR path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH + 1);
    if (length == 0 || length >= MAX_PATH) return false;
    path[length] = L'\0';
    if (!PathFromWide(path, exePath, kPathBytes)) return false;

    // Folder: up to the last backslash, without it ("C:" for a program in a
    // drive's root). Name: after it, up to the last dot.
    int slash = LastBackslash(exePath, kCodePageUtf8);
    CopyText(exeDir, kPathBytes, exePath, slash > 0 ? slash : 0, kCodePageUtf8);
    const char* file = exePath + slash + 1;
    const char* dot = strrchr(file, '.');
    CopyText(exeName, kNameBytes, file, dot ? (int)(dot - file) : -1, kCodePageUtf8);
    return true;
}

void PlaceMainWindow(HWND dialog)
{
    // Keep the template's size; only the position comes from the command
    // line. It is deliberately not checked against the screen.
    WindowPands pands = MRVK0_GetWindowPands(dialog);
    MoveWindow(dialog, m_PosX, m_PosY, pands.width, pands.height, TRUE);

    // The library may write up to 128 units; our half of the caption is cut
    // to 99, never inside a surrogate pair. Without a version record the
    // program's half stays empty.
    WCHAR path[MAX_PATH];
    WCHAR label[128];
    WCHAR programVersion[kVersionLabelSize] = L"";
    if (PathToWide(m_ExePath, path) &&
        MRVK0_GetFileVersionStringW(path, kVersionTable, label) == 0) {
        CopyWide(programVersion, label, kVersionLabelSize - 1);
    }
    char libraryVersion[kVersionLabelSize] = "";
    MRVK0_GetVersionString(libraryVersion);  // always succeeds, 27 ASCII bytes
    WCHAR libraryWide[kVersionLabelSize];
    DecodeText(libraryVersion, (int)strlen(libraryVersion), kCodePage932, libraryWide,
               kVersionLabelSize);

    // 99 + 5 + 99 units and the terminator: always fits.
    WCHAR caption[kCaptionSize];
    wsprintfW(caption, L"%s  /  %s", programVersion, libraryWide);
    SetWindowTextW(dialog, caption);

    // Shared: the system owns the icon and frees it; no cleanup needed.
    HANDLE icon = LoadImageW(m_hInstance, MAKEINTRESOURCEW(IDI_QUILLAN), IMAGE_ICON, 0, 0,
                             LR_SHARED);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);
}

// The lines the drop-down list shows point into it.
static ClipListModel m_MainList;

ClipListLoadResult LoadListIntoCombo(HWND dialog)
{
    // A missing or unreadable file leaves the list as it was; that is still
    // a loaded list, so the copy command does not try again.
    m_ListLoaded = 1;
    char path[kPathBytes];
    if (!GetClipListPath(path)) return kLoadNotOpened;  // said at the start already
    WCHAR widePath[MAX_PATH];
    if (!PathToWide(path, widePath)) {
        // The program's folder fits the system, the list beside it does not.
        ShowMessage(NULL, kClipListPathTooLong, kTitleFailure, MB_OK);
        return kLoadNotOpened;
    }
    ClipListLoadResult loaded =
        LoadClipList(GetDlgItem(dialog, IDC_CLIP_COMBO), path, kComboBox, &m_MainList);
    if (loaded == kLoadDone || loaded == kLoadPartial) {
        m_ListCodePage = CodePageOf(m_MainList.encoding);
    }
    if (loaded == kLoadUnsupported) ShowMessage(NULL, kClipListUtf16, kTitleFailure, MB_OK);
    if (loaded == kLoadPartial) ShowMessage(NULL, kClipListReadPartly, kTitleFailure, MB_OK);
    return loaded;
}

static void StartMainDialog(HWND dialog, const MainDialogStart* start)
{
    m_LinkFolder[0] = '\0';
    if (!GetProgramPaths(m_ExePath, m_ExeDir, m_ExeName)) {
        ShowMessage(NULL, kProgramPathTooLong, kTitleFailure, MB_OK);
    }
    PlaceMainWindow(dialog);

    // Always the list: a one-click start that copied never opens this
    // window, and one whose copy failed is to leave a usable one.
    LoadListIntoCombo(dialog);

    // After the load: loading empties the edit field.
    if (m_ClipText[0] != '\0') {
        SetFieldText(dialog, IDC_CLIP_COMBO, m_ClipText, m_ClipCodePage);
    }
    if (start && start->oneClickTried) {
        // Only its outcome is left to show: the clipboard is not tried a
        // second time.
        PostMessageW(dialog, WM_APP_ONE_CLICK_FAILED, (WPARAM)start->oneClickResult, 0);
    } else if (m_AutoStart == 1) {
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
}

// The shortcut maker proposes the current entry: its title as the name, its
// message (or "/f=" and the bare path) as the shortcut's message.
static void OpenShortcutMaker(HWND dialog)
{
    ItemText entry;
    if (!TakeMainEntry(GetDlgItem(dialog, IDC_CLIP_COMBO), &entry)) {
        // Without the entry's text the dialog would propose nothing the
        // user chose; say so instead of opening it half-filled.
        ShowMessage(NULL, kMemoryFailed, kTitleConfirm, MB_OK);
        return;
    }
    // Title and message are cut to their 1024-byte buffers.
    ShortcutProposal proposal;
    proposal.title[0] = proposal.message[0] = '\0';
    proposal.codePage = entry.codePage;
    if (entry.length > 0) {
        SplitClipEntry(entry.Bytes(), proposal.title, kTextSize, proposal.message, kTextSize,
                       entry.codePage);
    }
    // The dialog always ends with 2; nothing depends on how it ended.
    DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(IDD_SHORTCUT), dialog, ShortcutDlgProc,
                    (LPARAM)&proposal);
}

static void EditClipList(HWND dialog)
{
    ClipEditorState editor;
    INT_PTR result = DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(IDD_CLIP_EDITOR), dialog,
                                     ClipEditorDlgProc, (LPARAM)&editor);
    if (result != 1) return;  // the editor did not save: the list is as shown
    // The list shown is the one before the save until the reload succeeds;
    // a reload that says nothing would leave the user looking at it.
    if (LoadListIntoCombo(dialog) == kLoadNotOpened) {
        ShowMessage(NULL, kClipListReloadFailed, kTitleFailure, MB_OK);
    }
}

static void BrowseTextFile(HWND dialog)
{
    WCHAR path[MAX_PATH];
    if (!ChooseTextFile(dialog, path)) return;  // cancelled: nothing changes
    // At most 259 units of path and 5 of markup: fits.
    WCHAR entry[MAX_PATH + 8];
    wsprintfW(entry, L"/f=\"%s\"", path);
    SetDlgItemTextW(dialog, IDC_CLIP_COMBO, entry);
}

INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartMainDialog(dialog, reinterpret_cast<const MainDialogStart*>(lParam));
        return TRUE;  // focus on the first tab stop, the file button

    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;

    case WM_APP_ONE_CLICK_FAILED:
        FinishCopy(dialog, static_cast<CopyResult>(wParam));
        return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            CopyClipText(dialog);
            return TRUE;
        case IDCANCEL:
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_MAKE_SHORTCUT:
            OpenShortcutMaker(dialog);
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
