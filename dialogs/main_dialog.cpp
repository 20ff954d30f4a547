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
#include "list_file_stamp.h"
#include "main_entry.h"
#include "main_filter.h"
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

// The list file, UTF-16, as the checks ask for it; empty when the program
// has no path for it.
static WCHAR m_ListPath[MAX_PATH];

// The drop-down list shows the file as it was at m_ShownStamp, and that
// load went as m_ShownResult (kLoadDone for a missing file: an empty list).
// A check reloads once the file changed, and tries again while the last
// load did not get the whole list; an outcome is said only when it is new,
// so that a list held by another program is said once, not at every
// activation.
static ListFileStamp m_ShownStamp;
static ClipListLoadResult m_ShownResult = kLoadDone;
static bool m_ShownValid = false;
// No check runs while a load says its outcome (the message box activates
// the window again as it goes), nor while the editor is open: its end
// reloads by itself.
static bool m_Checking = false;
static bool m_EditorOpen = false;

static bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// What the user has in the drop-down field, kept over a reload: the text,
// where the caret stands, and the item the field shows or was picked from.
struct FieldState {
    HeapText text;
    int units = 0;
    DWORD editSelection = 0;
    int selected = -1;
    HeapText item;  // the selected item's text
    int itemUnits = 0;
};

static void KeepField(HWND combo, FieldState* field)
{
    if (!ReadWindowWide(combo, &field->text, &field->units)) field->units = 0;
    field->editSelection = (DWORD)SendMessageW(combo, CB_GETEDITSEL, 0, 0);
    field->selected = (int)SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (field->selected >= 0 &&
        !ReadItemWide(combo, kComboBox, field->selected, &field->item, &field->itemUnits)) {
        field->selected = -1;
    }
}

static bool ItemIs(HWND combo, int index, const FieldState& field)
{
    HeapText item;
    int units = 0;
    return ReadItemWide(combo, kComboBox, index, &item, &units) && units == field.itemUnits &&
           memcmp(item.Units(), field.item.Units(), (size_t)units * sizeof(WCHAR)) == 0;
}

// After the reload: the item picked before is picked again where the list
// still holds it (at its old place, else its first), and the field gets
// back what the user had in it.
static void RestoreField(HWND combo, const FieldState& field)
{
    int found = -1;
    if (field.selected >= 0) {
        const int count = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
        if (field.selected < count && ItemIs(combo, field.selected, field)) found = field.selected;
        for (int i = 0; found < 0 && i < count; ++i) {
            if (ItemIs(combo, i, field)) found = i;
        }
    }
    if (found >= 0) SendMessageW(combo, CB_SETCURSEL, (WPARAM)found, 0);
    const bool showsItem = found >= 0 && field.units == field.itemUnits &&
                           memcmp(field.text.Units(), field.item.Units(),
                                  (size_t)field.units * sizeof(WCHAR)) == 0;
    if (!showsItem && field.text.Units()) {
        SendMessageW(combo, WM_SETTEXT, 0, (LPARAM)field.text.Units());
    }
    SendMessageW(combo, CB_SETEDITSEL, 0,
                 MAKELPARAM(LOWORD(field.editSelection), HIWORD(field.editSelection)));
}

static void SayLoadOutcome(ClipListLoadResult loaded, bool afterSave)
{
    switch (loaded) {
    case kLoadNotOpened:
        ShowMessage(NULL, afterSave ? kClipListReloadFailed : kClipListNotOpened, kTitleFailure,
                    MB_OK);
        break;
    case kLoadUnsupported: ShowMessage(NULL, kClipListUtf16, kTitleFailure, MB_OK); break;
    case kLoadPartial: ShowMessage(NULL, kClipListReadPartly, kTitleFailure, MB_OK); break;
    case kLoadTooLarge: ShowMessage(NULL, kClipListTooLarge, kTitleFailure, MB_OK); break;
    default: break;
    }
}

// Loads the list file as it is now into the drop-down list. `keepField`:
// the field keeps its text and the picked item; otherwise the load empties
// it. A missing file is an empty list. What kept the list from being read
// is said, unless it was said for the same file already; after a save of
// the editor it is always said.
static ClipListLoadResult LoadList(HWND dialog, bool keepField, bool afterSave)
{
    // A missing or unreadable file is still a loaded list, so the copy
    // command does not try again.
    m_ListLoaded = 1;
    char path[kPathBytes];
    if (m_ListPath[0] == L'\0' || !GetClipListPath(path)) return kLoadNotOpened;
    HWND combo = GetDlgItem(dialog, IDC_CLIP_COMBO);
    // Taken before the read: a change during it shows at the next check.
    const ListFileStamp stamp = TakeListFileStamp(m_ListPath);
    FieldState field;
    if (keepField) KeepField(combo, &field);

    ClipListLoadResult loaded = LoadClipList(combo, path, kComboBox, &m_MainList);
    if (loaded == kLoadNotOpened && GetFileAttributesW(m_ListPath) == INVALID_FILE_ATTRIBUTES &&
        IsMissing(GetLastError())) {
        // No list (any more): an empty one, and nothing to say.
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        FreeClipList(&m_MainList);  // no item points into it now
        loaded = kLoadDone;
    } else if (loaded == kLoadDone || loaded == kLoadPartial) {
        m_ListCodePage = CodePageOf(m_MainList.encoding);
    }
    // Only a load that emptied the list emptied the field too; any other
    // left both as they were.
    if (keepField && (loaded == kLoadDone || loaded == kLoadPartial)) RestoreField(combo, field);
    FilterAfterLoad(combo, loaded, keepField);

    const bool said =
        m_ShownValid && m_ShownResult == loaded && SameListFileStamp(m_ShownStamp, stamp);
    m_ShownStamp = stamp;
    m_ShownResult = loaded;
    m_ShownValid = true;
    // The message box activates the window again as it goes: no check
    // inside it.
    m_Checking = true;
    if (!said || afterSave) SayLoadOutcome(loaded, afterSave);
    m_Checking = false;
    return loaded;
}

ClipListLoadResult LoadListIntoCombo(HWND dialog)
{
    return LoadList(dialog, false, false);
}

// When the window is activated and before its list drops down: the list
// file changed since the drop-down list was filled (or that load did not
// get it whole), so it is read again, the field kept. Otherwise one look
// at the file a link names: which file, its size and times, and the bytes
// of a small list.
static void CheckListFile(HWND dialog)
{
    if (m_Checking || m_EditorOpen || !m_ShownValid || m_ListPath[0] == L'\0') return;
    const bool retry = m_ShownResult == kLoadNotOpened || m_ShownResult == kLoadPartial;
    if (!retry && SameListFileStamp(TakeListFileStamp(m_ListPath), m_ShownStamp)) return;
    LoadList(dialog, true, false);
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
    m_ShownValid = m_Checking = m_EditorOpen = false;
    m_ListPath[0] = L'\0';
    char path[kPathBytes];
    if (GetClipListPath(path) && !PathToWide(path, m_ListPath)) {
        // The program's folder fits the system, the list beside it does not.
        m_ListPath[0] = L'\0';
        ShowMessage(NULL, kClipListPathTooLong, kTitleFailure, MB_OK);
    }
    StartListFilter(GetDlgItem(dialog, IDC_CLIP_COMBO), &m_MainList);
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
    m_EditorOpen = true;
    ClipEditorState editor;
    INT_PTR result = DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(IDD_CLIP_EDITOR), dialog,
                                     ClipEditorDlgProc, (LPARAM)&editor);
    m_EditorOpen = false;
    if (result != 1) {
        // Not saved: the list is shown as the file is now, which another
        // program may have changed meanwhile.
        CheckListFile(dialog);
        return;
    }
    // The saved list, the field emptied. The list shown is the one before
    // the save until the reload succeeds; a reload that says nothing would
    // leave the user looking at it.
    LoadList(dialog, false, true);
}

static void BrowseTextFile(HWND dialog)
{
    WCHAR path[MAX_PATH];
    if (!ChooseTextFile(dialog, path)) return;  // cancelled: nothing changes
    // At most 259 units of path and 5 of markup: fits.
    WCHAR entry[MAX_PATH + 8];
    wsprintfW(entry, L"/f=\"%s\"", path);
    SetDlgItemTextW(dialog, IDC_CLIP_COMBO, entry);
    ShowEveryEntry(GetDlgItem(dialog, IDC_CLIP_COMBO));
}

// What the drop-down list tells: typing narrows it, picking and closing it
// say whether the field still holds typed text.
static void ComboNotified(HWND dialog, WORD notification)
{
    HWND combo = GetDlgItem(dialog, IDC_CLIP_COMBO);
    switch (notification) {
    case CBN_DROPDOWN:
        // Before the list opens, it is brought up to the file.
        CheckListFile(dialog);
        FilterBeforeDropDown(combo);
        break;
    case CBN_EDITCHANGE: NarrowToTypedText(combo); break;
    case CBN_SELCHANGE: FilterSelectionChanged(dialog); break;
    case CBN_CLOSEUP: FilterClosedUp(dialog); break;
    default: break;
    }
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

    case WM_APP_FIELD_SETTLED:
        FilterFieldSettled(GetDlgItem(dialog, IDC_CLIP_COMBO));
        return TRUE;

    case WM_ACTIVATE:
        // Back in the window: the list shows the file as it is now.
        if (LOWORD(wParam) != WA_INACTIVE) CheckListFile(dialog);
        return FALSE;  // the dialog manager still puts the focus back

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CLIP_COMBO:
            ComboNotified(dialog, HIWORD(wParam));
            return FALSE;
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
