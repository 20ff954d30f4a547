// The clip list editor (dialog 113). The list box is the working copy of
// ClipData.txt: every command edits the list only, and the file changes
// only when the user saves.
#include "clip_editor.h"

#include <commctrl.h>

#include "app_state.h"
#include "choose_text_file.h"
#include "clip_entry.h"
#include "clip_list_file.h"
#include "dialog_field.h"
#include "message_box.h"
#include "messages.h"
#include "resource.h"
#include "text_convert.h"

enum {
    kSliderMax = 100,  // at most 1000 pixels taller than the template
    kSliderStep = 10,  // pixels of height per slider step
};

// The list as the editor read it: the code page its lines are in, the
// encoding a save writes (UTF-8 once the user chose it), and whether the
// file was there but could not be read, which a save must never replace.
static ClipListModel m_EditorList;  // the lines the list box points into
static int m_EditorListCodePage = kCodePage932;
static TextFileEncoding m_EditorEncoding = kEncoding932;
static bool m_EditorListUnread = false;
// What the load has to tell the user, shown once the editor is up.
static const char* m_EditorLoadMessage = nullptr;

static bool InsertFailed(LRESULT result)
{
    return result == LB_ERR || result == LB_ERRSPACE;
}

// Says why the fields' entry cannot be stored as typed. The list has no
// escape: the character named would be read as structure, and what the user
// typed would come back cut or changed, or as another kind of entry.
static void ReportUnstorableEntry(HWND dialog, EntryFault fault)
{
    const char* field = nullptr;
    switch (fault.kind) {
    case kEntryLineBreak:
        ShowMessage(dialog, kEntryLineBreakRefused, kTitleFailure, MB_OK);
        return;
    case kEntryTooLong:
        ShowMessage(dialog, kEntryTooLongRefused, kTitleFailure, MB_OK);
        return;
    case kEntryMarkInTitle: field = kFieldTitle; break;
    case kEntryQuoteOpensTitle: field = kFieldTitleStart; break;
    case kEntryQuoteInMessage: field = kFieldMessage; break;
    case kEntryMarkNeedsTitle: field = kFieldUntitledMessage; break;
    case kEntryMarkInPath: field = kFieldFilePath; break;
    default: break;
    }
    if (!field || !fault.mark) {
        ShowMessage(dialog, kEntryNotReadBack, kTitleFailure, MB_OK);
        return;
    }
    ShowCharacterRefused(dialog, kEntryCharRefused, field, fault.mark);
}

// The entry that the title and message fields give, composed in code page
// 932 when both fields hold it exactly, else in UTF-8, and shown as the
// UTF-16 text the list takes (room for kTextSize units). False when the
// message is empty (the commands that compose then do nothing, whatever the
// title holds) and when the entry would not read back as the fields hold
// it, which the user is told; a field longer than an entry is never cut.
static bool ComposeEntryFromFields(HWND dialog, WCHAR* shown)
{
    char title[kTextSize];
    char message[kTextSize];
    char* texts[] = {title, message};
    const int ids[] = {IDC_ED_TITLE, IDC_ED_MESSAGE};
    // A list kept in UTF-8 composes in UTF-8: its limit counts those bytes.
    int codePage = kCodePage932;
    if (!ReadFieldTexts(dialog, ids, texts, 2, kTextSize, m_EditorListCodePage, &codePage)) {
        ReportUnstorableEntry(dialog, {kEntryTooLong, nullptr});
        return false;
    }
    char entry[kTextSize];
    if (ComposeClipEntry(title, message, entry, codePage) == 0) return false;
    EntryFault fault = CheckComposedEntry(title, message, entry, codePage);
    if (fault.kind != kEntryStoredWhole) {
        ReportUnstorableEntry(dialog, fault);
        return false;
    }
    return DecodeText(entry, lstrlenA(entry), codePage, shown, kTextSize) >= 0;
}

static int SelectedIndex(HWND list)
{
    return (int)SendMessageW(list, LB_GETCURSEL, 0, 0);
}

// Reads the list into the editor. A missing file is an empty list; a file
// that is there but cannot be read now (another program holds it) or that
// is in UTF-16 is said so, and a save will not replace it: an empty list
// saved over it would lose every entry.
static void LoadEditorList(HWND dialog, HWND list)
{
    m_EditorListCodePage = kCodePage932;
    m_EditorEncoding = kEncoding932;
    m_EditorListUnread = false;
    m_EditorLoadMessage = nullptr;
    char path[kPathBytes];
    WCHAR widePath[MAX_PATH];
    if (!GetClipListPath(path) || !PathToWide(path, widePath)) {
        m_EditorListUnread = true;  // no list without the program's own path
        m_EditorLoadMessage = kProgramPathTooLong;
        PostMessageW(dialog, WM_APP_REPORT_LOAD, 0, 0);
        return;
    }
    switch (LoadClipList(list, path, kListBox, &m_EditorList)) {
    case kLoadDone:
        m_EditorEncoding = m_EditorList.encoding;
        m_EditorListCodePage = CodePageOf(m_EditorList.encoding);
        break;
    case kLoadPartial:
        // Part of the list is shown, to look at; saved, it would lose the
        // rest.
        m_EditorEncoding = m_EditorList.encoding;
        m_EditorListCodePage = CodePageOf(m_EditorList.encoding);
        m_EditorListUnread = true;
        m_EditorLoadMessage = kClipListNotRead;
        break;
    case kLoadUnsupported:
        m_EditorListUnread = true;
        m_EditorLoadMessage = kClipListUtf16;
        break;
    default:
        if (GetFileAttributesW(widePath) != INVALID_FILE_ATTRIBUTES ||
            GetLastError() != ERROR_FILE_NOT_FOUND) {
            m_EditorListUnread = true;
            m_EditorLoadMessage = kClipListNotRead;
        }
        break;
    }
    // Said over the editor once it shows, not before it.
    if (m_EditorLoadMessage) PostMessageW(dialog, WM_APP_REPORT_LOAD, 0, 0);
}

static void StartEditor(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    RECT rect;
    // Only the heights are used later, as the sizes that slider position 0
    // stands for. The rectangles of the dialog's own windows are always
    // there to read.
    GetWindowRect(dialog, &rect);
    m_EditorRect = ClipRect{rect.left, rect.top, rect.right, rect.bottom};
    GetWindowRect(list, &rect);
    m_EditorListRect = ClipRect{rect.left, rect.top, rect.right, rect.bottom};

    // A shared icon belongs to the system and is never destroyed here. A
    // dialog without a previous icon gets nothing back to release; should
    // the load fail, the null handle leaves the default icon.
    HANDLE icon = LoadImageW(m_hInstance, MAKEINTRESOURCEW(IDI_QUILLAN), IMAGE_ICON, 0, 0,
                             LR_SHARED);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);

    LoadEditorList(dialog, list);

    // The slider (class msctls_trackbar32) exists because the manifest's
    // common controls 6 dependency registers the class when the template
    // uses it; the program never calls the common controls itself.
    SendDlgItemMessageW(dialog, IDC_ED_SLIDER, TBM_SETRANGEMIN, TRUE, 0);
    SendDlgItemMessageW(dialog, IDC_ED_SLIDER, TBM_SETRANGEMAX, TRUE, kSliderMax);
    // Every opening starts with the slider at 0 and the template sizes, so
    // the remembered position starts again at 0 as well. Kept from an
    // earlier opening, it would make a move back to that old position
    // resize nothing.
    m_SliderPos = 0;
}

// True when the list may move to UTF-8: no line that the user left as it
// was read holds bytes that are no text, which UTF-8 has no character for.
// Otherwise names them and refuses, until they are edited or deleted.
static bool MayMoveToUtf8(HWND dialog, HWND list)
{
    int first = -1;
    int count = CountNoTextLines(list, &first);
    if (count == 0) return true;
    HeapText shown;
    int units = 0;
    WCHAR line[64] = L"";
    if (ReadItemWide(list, kListBox, first, &shown, &units)) CopyWide(line, shown.Wide(), 60);
    SendMessageW(list, LB_SETCURSEL, first, 0);
    ShowFormattedMessage(dialog, kTitleConfirm, MB_OK, kClipListNoTextLines, count, line);
    return false;
}

static void SaveAndClose(HWND dialog)
{
    if (m_EditorListUnread) {
        ShowMessage(dialog, kClipListNotSaved, kTitleFailure, MB_OK);
        return;
    }
    char path[kPathBytes];
    GetClipListPath(path);
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    ClipListSaveResult result = SaveClipList(list, path, m_EditorListCodePage, m_EditorEncoding);
    if (result == kSaveNotStorable) {
        // Never a silent '?', and never a line rewritten without a word:
        // the list moves to UTF-8 only when every line can, and the user
        // says so; otherwise nothing is written and the edits stay.
        if (!MayMoveToUtf8(dialog, list)) return;
        if (ShowMessage(dialog, kClipListUtf8Question, kTitleConfirm, MB_YESNO) != IDYES) return;
        m_EditorEncoding = kEncodingUtf8;
        result = SaveClipList(list, path, m_EditorListCodePage, m_EditorEncoding);
    }
    if (result == kSaveNothing) {
        // An emptied list is never written over the file; the user may add
        // entries or cancel.
        ShowMessage(dialog, kClipListEmptyNotSaved, kTitleConfirm, MB_OK);
        return;
    }
    if (result == kSaveFailed || result == kSaveNotStorable) {
        // The old file is intact; staying open keeps the user's edits, to
        // save again or to drop by cancelling. Only OK can be answered.
        ShowMessage(dialog, kClipListSaveFailed, kTitleFailure, MB_OK);
        return;
    }
    EndDialog(dialog, IDOK);
}

static void ConfirmClose(HWND dialog)
{
    if (ShowMessage(dialog, kEditorCloseQuestion, kTitleConfirm, MB_YESNO) == IDYES) {
        EndDialog(dialog, IDCANCEL);
    }
}

// Takes the selected entry apart into the title and message fields. Both
// fields are always replaced. An entry longer than a field's 1023 bytes
// gives a title and a message cut there, on a character boundary.
static void EditSelectedEntry(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    if (selected < 0) return;
    ItemText item;
    if (!ReadItemText(list, kListBox, selected, m_EditorListCodePage, &item)) return;

    char title[kTextSize];
    char message[kTextSize];
    SplitClipEntry(item.Bytes(), title, kTextSize, message, kTextSize, item.codePage);
    SetFieldText(dialog, IDC_ED_TITLE, title, item.codePage);
    SetFieldText(dialog, IDC_ED_MESSAGE, message, item.codePage);
}

static void OverwriteSelectedEntry(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    if (selected < 0) return;
    WCHAR entry[kTextSize];
    if (!ComposeEntryFromFields(dialog, entry)) return;

    // The new text goes in first and pushes the old one down; a list that
    // cannot take it keeps the old entry.
    if (InsertFailed(SendMessageW(list, LB_INSERTSTRING, selected, (LPARAM)entry))) return;
    SendMessageW(list, LB_DELETESTRING, selected + 1, 0);  // exists: the old entry
}

// Inserts before the selected entry, or appends when none is selected.
static void AddOrInsertEntry(HWND dialog)
{
    WCHAR entry[kTextSize];
    if (!ComposeEntryFromFields(dialog, entry)) return;
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    // A list that cannot take another item stays as it was: nothing to undo.
    if (selected >= 0) {
        SendMessageW(list, LB_INSERTSTRING, selected, (LPARAM)entry);
    } else {
        SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)entry);
    }
}

// Selects the entry that followed the deleted one, or the new last one.
static void DeleteSelectedEntry(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    if (selected < 0) return;
    SendMessageW(list, LB_DELETESTRING, selected, 0);
    int count = (int)SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    SendMessageW(list, LB_SETCURSEL, selected < count ? selected : count - 1, 0);
}

// Moves item `index` (at least 1) one place up: a copy goes in above it
// before the original goes, so a list that cannot take the copy loses
// nothing. The line the item points to moves with it. True when moved.
static bool MoveItemUp(HWND list, int index)
{
    HeapText shown;
    int units = 0;
    if (!ReadItemWide(list, kListBox, index, &shown, &units)) return false;
    if (InsertFailed(SendMessageW(list, LB_INSERTSTRING, index - 1, (LPARAM)shown.Wide()))) {
        return false;
    }
    MoveItemLine(list, kListBox, index + 1, index - 1);
    SendMessageW(list, LB_DELETESTRING, index + 1, 0);  // exists: the original
    return true;
}

static void MoveSelectedEntryUp(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    if (selected <= 0) return;
    if (MoveItemUp(list, selected)) SendMessageW(list, LB_SETCURSEL, selected - 1, 0);
}

// Moving the selected entry down is moving its successor up.
static void MoveSelectedEntryDown(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int count = (int)SendMessageW(list, LB_GETCOUNT, 0, 0);
    int selected = SelectedIndex(list);
    if (selected < 0 || selected >= count - 1) return;
    if (MoveItemUp(list, selected + 1)) SendMessageW(list, LB_SETCURSEL, selected + 1, 0);
}

// Puts "/f=" and the chosen path, unquoted, into the message field; the
// title stays. A later add or overwrite composes the quoted reference.
static void BrowseForTextFile(HWND dialog)
{
    WCHAR path[MAX_PATH];
    if (!ChooseTextFile(dialog, path)) return;
    // "/f=" and a path of at most 259 units fit.
    WCHAR message[MAX_PATH + 4];
    wsprintfW(message, L"/f=%s", path);
    SetDlgItemTextW(dialog, IDC_ED_MESSAGE, message);
}

// Makes the dialog and the list kSliderStep pixels taller than at the start
// per slider step. Their top-left corners and widths stay; nothing else
// moves.
static void ResizeToSlider(HWND dialog)
{
    int position = (int)SendDlgItemMessageW(dialog, IDC_ED_SLIDER, TBM_GETPOS, 0, 0);
    if (position == m_SliderPos) return;

    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    RECT window, client, listRect;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    GetWindowRect(list, &listRect);
    // The side frame's width, and the height of everything above the client
    // area, taking the bottom frame as high as a side frame is wide.
    int frameX = (window.right - window.left - client.right) / 2;
    int frameY = (window.bottom - window.top - client.bottom) - frameX;

    // A move the system refuses leaves the old size; nothing to undo.
    MoveWindow(dialog, window.left, window.top, window.right - window.left,
               kSliderStep * position + (m_EditorRect.bottom - m_EditorRect.top), TRUE);
    // The list's place in client coordinates, from the rectangles read
    // before the dialog moved.
    MoveWindow(list, listRect.left - window.left - frameX, listRect.top - window.top - frameY,
               listRect.right - listRect.left,
               kSliderStep * position + (m_EditorListRect.bottom - m_EditorListRect.top), TRUE);
    m_SliderPos = position;
}

// The commands of the buttons. List and field notifications come here too
// and are left alone: a double click on an entry only selects it.
static BOOL RunCommand(HWND dialog, int command)
{
    switch (command) {
    case IDOK: SaveAndClose(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_ED_EDIT: EditSelectedEntry(dialog); return TRUE;
    case IDC_ED_OVERWRITE: OverwriteSelectedEntry(dialog); return TRUE;
    case IDC_ED_DELETE: DeleteSelectedEntry(dialog); return TRUE;
    case IDC_ED_ADD: AddOrInsertEntry(dialog); return TRUE;
    case IDC_ED_MOVE_UP: MoveSelectedEntryUp(dialog); return TRUE;
    case IDC_ED_MOVE_DOWN: MoveSelectedEntryDown(dialog); return TRUE;
    case IDC_ED_BROWSE: BrowseForTextFile(dialog); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK ClipEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        StartEditor(dialog);
        return TRUE;  // focus on the first tab stop, the save button
    case WM_CLOSE:
        ConfirmClose(dialog);
        return TRUE;
    case WM_DESTROY:
        // The list box goes with the dialog; nothing reads its lines again.
        FreeClipList(&m_EditorList);
        return TRUE;
    case WM_APP_REPORT_LOAD:
        // A modal dialog shows itself only once its queue is empty; the
        // message is to stand over the editor, so it shows now.
        ShowWindow(dialog, SW_SHOW);
        if (m_EditorLoadMessage) ShowMessage(dialog, m_EditorLoadMessage, kTitleFailure, MB_OK);
        return TRUE;
    case WM_COMMAND:
        return RunCommand(dialog, LOWORD(wParam));
    case WM_VSCROLL:
        ResizeToSlider(dialog);
        return TRUE;
    case WM_HSCROLL:
        return TRUE;  // the only slider is vertical
    }
    return FALSE;
}
