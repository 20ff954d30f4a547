// The shortcut maker: writes a .lnk that starts this program with a preset
// message or file reference and the start options /g, /e, /x= and /y=, and
// the key that starts it from the keyboard.
#include "shortcut_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <string.h>

#include "Morvask.h"
#include "app_state.h"
#include "bounded_text.h"
#include "command_line.h"
#include "dialog_field.h"
#include "link_name.h"
#include "message_box.h"
#include "messages.h"
#include "resource.h"
#include "shortcut_file.h"
#include "shortcut_key.h"
#include "system_functions.h"
#include "text_convert.h"

static bool IsTicked(HWND dialog, int box)
{
    return SendDlgItemMessageW(dialog, box, BM_GETCHECK, 0, 0) == BST_CHECKED;
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

// The user's desktop folder. On failure the buffer stays empty, which the
// folder test then rejects.
static void GetDesktopFolder(HWND dialog, WCHAR* folder)
{
    if (FAILED(LateSHGetFolderPathW(dialog, CSIDL_DESKTOPDIRECTORY, NULL, SHGFP_TYPE_CURRENT,
                                    folder))) {
        folder[0] = L'\0';
    }
}

// "<program>のショートカット", the name proposed when the entry has no title
// and used when the name field is left empty (room for kBoxTextSize units).
static void DefaultShortcutName(WCHAR* name)
{
    WCHAR format[kShortTextUnits];
    ProgramText(kShortcutNameFormat, format, kShortTextUnits);
    WCHAR exeName[kNameSize];
    if (DecodeText(m_ExeName, lstrlenA(m_ExeName), kCodePageUtf8, exeName, kNameSize) < 0) {
        exeName[0] = L'\0';
    }
    // m_ExeName has at most 255 characters: the name fits.
    wsprintfW(name, format, exeName);
}

static void StartShortcutDialog(HWND dialog, const ShortcutProposal* proposal)
{
    static const ShortcutProposal kNothing = {"", "", kCodePage932};
    if (!proposal) proposal = &kNothing;
    // A missing icon leaves the default one; nothing else depends on it.
    HANDLE icon = LoadImageW(m_hInstance, MAKEINTRESOURCEW(IDI_SHORTCUT), IMAGE_ICON, 0, 0,
                             LR_SHARED);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);

    SetFieldText(dialog, IDC_SC_MESSAGE, proposal->message, proposal->codePage);
    CheckDlgButton(dialog, IDC_SC_AUTO_START, m_AutoStart == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SC_AUTO_EXIT, m_AutoExit == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dialog, IDC_SC_POS_X, (UINT)m_PosX, TRUE);
    SetDlgItemInt(dialog, IDC_SC_POS_Y, (UINT)m_PosY, TRUE);
    ApplyPositionRule(dialog);

    // A key typed alone, or with Shift only, becomes Ctrl+Alt+key as it is
    // typed. Every opening starts without a key: a key belongs to one
    // shortcut, and proposing the last one again would make a second
    // shortcut that Windows cannot start by it.
    SendDlgItemMessageW(dialog, IDC_SC_HOTKEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendDlgItemMessageW(dialog, IDC_SC_HOTKEY, HKM_SETHOTKEY, 0, 0);

    if (proposal->title[0] != '\0') {
        SetFieldText(dialog, IDC_SC_NAME, proposal->title, proposal->codePage);
    } else {
        WCHAR name[kBoxTextSize];
        DefaultShortcutName(name);
        SetDlgItemTextW(dialog, IDC_SC_NAME, name);
    }

    WCHAR folder[MAX_PATH];
    if (m_LinkFolder[0] != '\0' && PathToWide(m_LinkFolder, folder) &&
        MRVK0_FolderExistW(folder) == 1) {
        SetDlgItemTextW(dialog, IDC_SC_FOLDER, folder);
    } else {
        GetDesktopFolder(dialog, folder);
        SetDlgItemTextW(dialog, IDC_SC_FOLDER, folder);
    }
}

static void ReportFolderFailure(HWND dialog, const WCHAR* folder)
{
    // The folder has at most 255 units, so the text fits 1024.
    MessageBeep(MB_ICONEXCLAMATION);
    ShowFormattedMessage(dialog, kTitleFailure, MB_OK, kFolderAccessFailed, folder);
}

static void ReportBadName(HWND dialog, const WCHAR* name)
{
    MessageBeep(MB_ICONEXCLAMATION);
    ShowFormattedMessage(dialog, kTitleFailure, MB_OK, kBadShortcutName, name);
}

// The failure text names the link, the target, the arguments and the working
// folder. Together they can exceed the 1023 characters the message box text
// has: the arguments (up to 1023 themselves) are then cut, never inside a
// surrogate pair, so that every line still shows.
static void ReportCreateFailure(HWND dialog, HRESULT status, const WCHAR* link,
                                const WCHAR* target, const WCHAR* arguments,
                                const WCHAR* workDir)
{
    WCHAR format[kBoxTextSize];
    ProgramText(kShortcutFailed, format, kBoxTextSize);
    // The format less its five conversions, plus up to 8 hexadecimal digits.
    const int fixed = lstrlenW(format) - 2 * 5 + 8;
    const int others = lstrlenW(link) + lstrlenW(target) + lstrlenW(workDir);
    int room = kBoxTextSize - 1 - fixed - others;
    if (room < 0) room = 0;
    WCHAR shown[kTextSize];
    CopyWide(shown, arguments, room < kTextSize - 1 ? room : kTextSize - 1);

    WCHAR text[kBoxTextSize];
    wsprintfW(text, format, (unsigned)status, link, target, shown, workDir);
    MessageBeep(MB_ICONEXCLAMATION);
    WCHAR title[kShortTextUnits];
    ProgramText(kTitleFailure, title, kShortTextUnits);
    MessageBoxW(dialog, text, title, MB_OK | MB_ICONQUESTION);
}

// Composes folder\name.lnk, or folder\<program>のショートカット.lnk for an empty
// name. Returns false when it would not fit MAX_PATH; nothing is cut, since
// a shortened path would name another file.
static bool ComposeLinkPath(const WCHAR* folder, const WCHAR* name, WCHAR* link)
{
    WCHAR defaultName[kBoxTextSize];
    if (name[0] == L'\0') {
        DefaultShortcutName(defaultName);
        name = defaultName;
    }
    if (lstrlenW(folder) + 1 + lstrlenW(name) + 4 >= MAX_PATH) return false;
    wsprintfW(link, L"%s\\%s.lnk", folder, name);
    return true;
}

// Says why the arguments would start the program with something else than
// the dialog shows: options are found anywhere in a command line, also
// inside the quoted message, a double quote ends the message, the copy
// skips blanks before the text, and a position is read as a number only
// when it is one.
static void ReportUnreadableArguments(HWND dialog, ArgumentsFault fault)
{
    MessageBeep(MB_ICONEXCLAMATION);
    const char* field = nullptr;
    switch (fault.kind) {
    case kArgumentsTooLong:
        ShowMessage(dialog, kShortcutTooLong, kTitleFailure, MB_OK);
        return;
    case kArgumentsLeadingBlanks:
        ShowMessage(dialog, kShortcutLeadingBlanks, kTitleFailure, MB_OK);
        return;
    case kArgumentsCopiesNothing:
        ShowMessage(dialog, kShortcutCopiesNothing, kTitleFailure, MB_OK);
        return;
    case kArgumentsBadPosition:
        if (fault.mark) {
            ShowCharacterRefused(dialog, kShortcutBadPosition, kFieldPosition, fault.mark);
            return;
        }
        break;
    case kArgumentsMarkInMessage: field = kFieldShortcutMessage; break;
    case kArgumentsMarkInPosition: field = kFieldPosition; break;
    default: break;
    }
    if (!field || !fault.mark) {
        ShowMessage(dialog, kShortcutNotReadBack, kTitleFailure, MB_OK);
        return;
    }
    ShowCharacterRefused(dialog, kShortcutCharRefused, field, fault.mark);
}

// The arguments that the message and option fields give: composed in code
// page 932 when the fields hold it exactly, else in UTF-8, so the 1023-byte
// limit counts the text's own bytes. False, after telling the user, when
// the program would not read them back as the fields and boxes say (a
// field too long for a command line included: its text is never cut): then
// no shortcut may be written.
static bool ComposeArgumentsFromFields(HWND dialog, WCHAR* arguments)
{
    const int autoStart = IsTicked(dialog, IDC_SC_AUTO_START);
    const int autoExit = IsTicked(dialog, IDC_SC_AUTO_EXIT);
    const int position = IsTicked(dialog, IDC_SC_SET_POSITION);
    char message[kTextSize] = "";
    char xText[kTextSize] = "";
    char yText[kTextSize] = "";
    char* texts[] = {message, xText, yText};
    const int ids[] = {IDC_SC_MESSAGE, IDC_SC_POS_X, IDC_SC_POS_Y};
    int codePage = kCodePage932;
    if (!ReadFieldTexts(dialog, ids, texts, position ? 3 : 1, kTextSize, kCodePage932,
                        &codePage)) {
        ReportUnreadableArguments(dialog, {kArgumentsTooLong, nullptr});
        return false;
    }
    char composed[kTextSize];
    ComposeShortcutArguments(message, autoStart, autoExit, position, xText, yText, composed,
                             codePage);
    ArgumentsFault fault = CheckShortcutArguments(message, autoStart, autoExit, position, xText,
                                                  yText, composed, codePage);
    if (fault.kind == kArgumentsReadWhole &&
        DecodeText(composed, lstrlenA(composed), codePage, arguments, kTextSize) < 0) {
        fault.kind = kArgumentsNotReadBack;  // cannot happen: a byte gives at most a unit
        fault.mark = nullptr;
    }
    if (fault.kind != kArgumentsReadWhole) {
        ReportUnreadableArguments(dialog, fault);
        return false;
    }
    return true;
}

// The key in the key field: true with the key (0: none) when it may be
// written. A key without Ctrl or Alt, which the field's rules never make
// from typing but another program may have set, is refused.
static bool ReadShortcutKeyField(HWND dialog, WORD* key)
{
    *key = LOWORD(SendDlgItemMessageW(dialog, IDC_SC_HOTKEY, HKM_GETHOTKEY, 0, 0));
    switch (JudgeShortcutKey(*key)) {
    case kNoShortcutKey:
        *key = 0;
        return true;
    case kShortcutKeyUsable:
        return true;
    case kShortcutKeyNeedsCtrlOrAlt:
        break;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    ShowMessage(dialog, kShortcutKeyRefused, kTitleFailure, MB_OK);
    return false;
}

// Windows starts only one of two shortcuts that share a key, so another
// shortcut in the folder with this key is named and the user decides. The
// file about to be replaced does not count. True when the shortcut may be
// written.
static bool MayShareShortcutKey(HWND dialog, const WCHAR* folder, const WCHAR* link, WORD key)
{
    const WCHAR* ownName = link + lstrlenW(link);
    while (ownName > link && ownName[-1] != L'\\') --ownName;
    WCHAR other[MAX_PATH];
    if (!FindShortcutWithKey(folder, ownName, key, other)) return true;
    // A file name has fewer than 260 units, so the question fits.
    return ShowFormattedMessage(dialog, kTitleConfirm, MB_YESNO, kShortcutKeyShared, other) ==
           IDYES;
}

// The library writes target, arguments and working folder; the key is put
// into the written file here, through the shell link object too, so that
// the library's exports and their contract stay as other programs know
// them. A file that could not take its key is removed again, so that a
// failure leaves no shortcut that does less than the dialog said.
static HRESULT CreateShortcutFile(const WCHAR* link, const WCHAR* target,
                                  const WCHAR* arguments, const WCHAR* workDir, WORD key)
{
    HRESULT status = MRVK0_CreateShortCutW(link, target, arguments, workDir);
    if (status < 0 || key == 0) return status;
    HRESULT keyStatus = SetShortcutFileKey(link, key);
    // Read back as the shell will read it: a file that starts on another
    // key (or none) is not the shortcut the dialog showed.
    WORD written = 0;
    if (SUCCEEDED(keyStatus) && SUCCEEDED(keyStatus = ReadShortcutFileKey(link, &written)) &&
        written != key) {
        keyStatus = E_FAIL;
    }
    if (FAILED(keyStatus)) {
        // Should even this fail, the report still says that the shortcut
        // was not made as shown.
        DeleteFileW(link);
        return keyStatus;
    }
    return status;
}

// Writes the shortcut that the fields describe (the Create button).
static void WriteShortcut(HWND dialog)
{
    // A folder of 255 units leaves no room for a name within MAX_PATH:
    // one that holds more is refused as it is, never tried cut.
    WCHAR folder[kNameSize];
    const bool wholeFolder = ReadFieldWide(dialog, IDC_SC_FOLDER, folder, kNameSize);
    if (!wholeFolder || MRVK0_FolderExistW(folder) != 1) {
        ReportFolderFailure(dialog, folder);
        return;
    }
    // A drive root such as C:\ keeps its backslash.
    int length = lstrlenW(folder);
    if (length > 3 && folder[length - 1] == L'\\') folder[length - 1] = L'\0';
    char kept[kPathBytes];
    if (PathFromWide(folder, kept, kPathBytes)) CopyText(m_LinkFolder, kPathBytes, kept, -1,
                                                         kCodePageUtf8);

    WCHAR name[kNameSize];
    // A name of 255 units or more never fits MAX_PATH beside a folder.
    const bool wholeName = ReadFieldWide(dialog, IDC_SC_NAME, name, kNameSize);
    // A name is a file name in the folder shown, never a path or a device.
    if (wholeName && name[0] != L'\0' && !IsPlainFileName(name)) {
        ReportBadName(dialog, name);
        return;
    }
    WCHAR link[MAX_PATH];
    if (!wholeName || !ComposeLinkPath(folder, name, link)) {
        ReportFolderFailure(dialog, folder);
        return;
    }

    WCHAR arguments[kTextSize];
    if (!ComposeArgumentsFromFields(dialog, arguments)) return;
    WORD key = 0;
    if (!ReadShortcutKeyField(dialog, &key)) return;

    if (GetFileAttributesW(link) != INVALID_FILE_ATTRIBUTES) {
        // The link path has fewer than 260 units, so the question fits.
        if (ShowFormattedMessage(dialog, kTitleConfirm, MB_YESNO, kOverwriteQuestion, link)
            != IDYES) {
            return;
        }
    }

    WCHAR target[MAX_PATH];
    WCHAR workDir[MAX_PATH];
    if (!PathToWide(m_ExePath, target) || !PathToWide(m_ExeDir, workDir) || !target[0]) {
        // Without the program's own whole path there is nothing to start.
        MessageBeep(MB_ICONEXCLAMATION);
        ShowMessage(dialog, kProgramPathTooLong, kTitleFailure, MB_OK);
        return;
    }
    // Already initialised on this thread (S_FALSE) is as good as initialised
    // now and is balanced too; a failure (another threading model set up by
    // someone else) must not be undone by us.
    HRESULT initialised = LateCoInitialize();
    if (key == 0 || MayShareShortcutKey(dialog, folder, link, key)) {
        HRESULT status = CreateShortcutFile(link, target, arguments, workDir, key);
        if (status < 0) {
            ReportCreateFailure(dialog, status, link, target, arguments, workDir);
        } else {
            MessageBeep(MB_ICONASTERISK);
        }
    }
    if (SUCCEEDED(initialised)) LateCoUninitialize();
}

// The common file dialog stands in for a folder chooser: the user opens a
// folder and confirms the preset name, or picks any file in it; the folder
// is the returned path without its file title.
static void ChooseFolder(HWND dialog)
{
    WCHAR desktop[MAX_PATH];
    GetDesktopFolder(dialog, desktop);
    WCHAR path[MAX_PATH];
    WCHAR title[MAX_PATH] = L"";
    ProgramText(kFolderChooserPreset, path, MAX_PATH);
    WCHAR caption[kShortTextUnits];
    ProgramText(kFolderChooserTitle, caption, kShortTextUnits);

    OPENFILENAMEW chooser;
    memset(&chooser, 0, sizeof chooser);
    chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    chooser.hwndOwner = dialog;
    chooser.lpstrFile = path;
    chooser.nMaxFile = MAX_PATH;
    chooser.lpstrFileTitle = title;
    chooser.nMaxFileTitle = MAX_PATH;
    chooser.lpstrInitialDir = desktop;
    chooser.lpstrTitle = caption;
    // Browsing must not move the process's current folder: relative file
    // references keep their meaning.
    chooser.Flags = OFN_NOCHANGEDIR;
    if (LateGetOpenFileNameW(&chooser) != TRUE) return;  // cancelled or failed

    const int pathLength = lstrlenW(path);
    const int titleLength = lstrlenW(title);
    if (titleLength > 0 && titleLength <= pathLength) {
        // Drop the separator before the title, except after a drive root.
        const int titleStart = pathLength - titleLength;
        path[titleStart > 3 ? titleStart - 1 : titleStart] = L'\0';
    }
    SetDlgItemTextW(dialog, IDC_SC_FOLDER, path);
}

INT_PTR CALLBACK ShortcutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartShortcutDialog(dialog, reinterpret_cast<const ShortcutProposal*>(lParam));
        return TRUE;  // focus on the first control, the message field

    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            WriteShortcut(dialog);
            return TRUE;
        case IDCANCEL:
            PostMessageW(dialog, WM_CLOSE, 0, 0);
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
