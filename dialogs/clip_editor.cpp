// The clip list editor (dialog 113). The list box is the working copy of
// ClipData.txt: every command edits the list only, and the file changes
// only when the user saves.
#include "clip_editor.h"

#include <commctrl.h>
#include <string.h>

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

// The state given as the dialog parameter, kept with the dialog.
static ClipEditorState* StateOf(HWND dialog)
{
    return reinterpret_cast<ClipEditorState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

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
// 932 when both fields hold it exactly, else in UTF-8 (room for kTextSize
// bytes); its code page in *codePage. False when the message is empty (the
// commands that compose then do nothing, whatever the title holds) and when
// the entry would not read back as the fields hold it, which the user is
// told; a field longer than an entry is never cut.
static bool ComposeEntryFromFields(HWND dialog, char* entry, int* codePage)
{
    char title[kTextSize];
    char message[kTextSize];
    char* texts[] = {title, message};
    const int ids[] = {IDC_ED_TITLE, IDC_ED_MESSAGE};
    // A list kept in UTF-8 composes in UTF-8: its limit counts those bytes.
    *codePage = kCodePage932;
    if (!ReadFieldTexts(dialog, ids, texts, 2, kTextSize,
                        CodePageOf(StateOf(dialog)->list.encoding), codePage)) {
        ReportUnstorableEntry(dialog, {kEntryTooLong, nullptr});
        return false;
    }
    if (ComposeClipEntry(title, message, entry, *codePage) == 0) return false;
    EntryFault fault = CheckComposedEntry(title, message, entry, *codePage);
    if (fault.kind != kEntryStoredWhole) {
        ReportUnstorableEntry(dialog, fault);
        return false;
    }
    return true;
}

static int SelectedIndex(HWND list)
{
    return (int)SendMessageW(list, LB_GETCURSEL, 0, 0);
}

// Puts item `at` of the list into the list box at the same place. False
// when the control cannot take it (out of memory).
static bool ShowText(HWND listBox, int at, const char* bytes, int length, int codePage)
{
    WCHAR shown[kClipShownMax + 1];
    ShowItemText(bytes, length, codePage, shown);
    return !InsertFailed(SendMessageW(listBox, LB_INSERTSTRING, at, (LPARAM)shown));
}

static bool ShowItem(HWND listBox, const ClipEditList* list, int at)
{
    int length = 0;
    int codePage = 0;
    const char* bytes = ClipItemBytes(list, at, &length, &codePage);
    return ShowText(listBox, at, bytes, ClipItemShownLength(list, at), codePage);
}

// Reads the list into the editor. A missing file is an empty list; a file
// that is there but cannot be read now (another program holds it) or that
// is in UTF-16 is said so, and a save will not replace it: an empty list
// saved over it would lose every entry.
static void LoadEditorList(HWND dialog, HWND listBox)
{
    ClipEditorState* state = StateOf(dialog);
    StartClipEditList(&state->list);
    state->unread = false;
    state->loadMessage = nullptr;
    char path[kPathBytes];
    WCHAR widePath[MAX_PATH];
    if (!GetClipListPath(path) || !PathToWide(path, widePath)) {
        state->unread = true;  // no list without the program's own path
        state->loadMessage = kProgramPathTooLong;
        PostMessageW(dialog, WM_APP_REPORT_LOAD, 0, 0);
        return;
    }
    ClipListModel loaded;
    StartClipList(&loaded);
    switch (ReadClipListFile(path, &loaded)) {
    case kLoadDone:
        break;
    case kLoadPartial:
        // Part of the list is shown, to look at; saved, it would lose the
        // rest.
        state->unread = true;
        state->loadMessage = kClipListNotRead;
        break;
    case kLoadUnsupported:
        state->unread = true;
        state->loadMessage = kClipListUtf16;
        break;
    case kLoadTooLarge:
        state->unread = true;
        state->loadMessage = kClipListTooLarge;
        break;
    default:
        if (GetFileAttributesW(widePath) != INVALID_FILE_ATTRIBUTES ||
            GetLastError() != ERROR_FILE_NOT_FOUND) {
            state->unread = true;
            state->loadMessage = kClipListNotRead;
        }
        break;
    }
    if (!OpenClipEditList(&state->list, &loaded)) {
        FreeClipList(&loaded);
        state->unread = true;
        state->loadMessage = kClipListNotRead;
    }
    for (int i = 0; i < state->list.count; ++i) {
        if (ShowItem(listBox, &state->list, i)) continue;
        // The list box no longer shows the list as it is: edits would land
        // on other items, and the list is only there to look at.
        state->unread = true;
        state->loadMessage = kClipListNotRead;
        break;
    }
    // Said over the editor once it shows, not before it.
    if (state->loadMessage) PostMessageW(dialog, WM_APP_REPORT_LOAD, 0, 0);
}

static void StartEditor(HWND dialog, ClipEditorState* state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, (LONG_PTR)state);
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

// Names the unedited lines that keep the list from moving to UTF-8 and
// selects the first: they are to be edited or deleted before a save.
static void ShowUtf8Blockers(HWND dialog, const Utf8Blockers& blockers)
{
    HWND listBox = GetDlgItem(dialog, IDC_ED_LIST);
    HeapText shown;
    int units = 0;
    WCHAR line[64] = L"";
    if (ReadItemWide(listBox, kListBox, blockers.first, &shown, &units)) {
        CopyWide(line, shown.Units(), 60);
    }
    SendMessageW(listBox, LB_SETCURSEL, blockers.first, 0);
    if (blockers.noText > 0) {
        ShowFormattedMessage(dialog, kTitleConfirm, MB_OK, kClipListNoTextLines, blockers.noText,
                             line);
    } else {
        ShowFormattedMessage(dialog, kTitleConfirm, MB_OK, kClipListLongInUtf8, blockers.tooLong,
                             line);
    }
}

// Asks one of the save's questions over the editor. Only the collision
// has a third answer, back to editing; the others' "no" is that.
static ListSaveAnswer AskAboutSave(ListSaveQuestion question, void* context)
{
    HWND dialog = static_cast<HWND>(context);
    const char* text = kClipListCollision;
    UINT buttons = MB_YESNO;
    switch (question) {
    case kAskNeedsUtf8: text = kClipListUtf8Question; break;
    case kAskReadsAsUtf8: text = kClipListReadsAsUtf8Question; break;
    case kAskTheyMovedToUtf8: text = kClipListTheyMovedToUtf8; break;
    case kAskListGone: text = kClipListGoneQuestion; break;
    default: buttons = MB_YESNOCANCEL; break;
    }
    switch (ShowMessage(dialog, text, kTitleConfirm, buttons)) {
    case IDYES: return kAnswerYes;
    case IDNO: return kAnswerNo;
    default: return kAnswerCancel;
    }
}

// Says how the save ended. `left` names a copy it left behind.
static void ReportSave(HWND dialog, const ListSaveDecision& decision, const WCHAR* left)
{
    const char* failure = kClipListSaveFailed;
    switch (decision.notice) {
    case kNoticeNone:
        return;
    case kNoticeMerged:
        ShowMessage(dialog, kClipListMerged, kTitleConfirm, MB_OK);
        return;
    case kNoticeOldCopyKept:
        ShowFormattedMessage(dialog, kTitleConfirm, MB_OK, kClipListOldCopyKept, left);
        return;
    case kNoticeMergedOldCopyKept:
        ShowFormattedMessage(dialog, kTitleConfirm, MB_OK, kClipListMergedOldCopyKept, left);
        return;
    case kNoticeEmpty:
        // An emptied list is never written over the file; the user may add
        // entries or cancel.
        ShowMessage(dialog, kClipListEmptyNotSaved, kTitleConfirm, MB_OK);
        return;
    case kNoticeUtf8NoText:
    case kNoticeUtf8TooLong:
        ShowUtf8Blockers(dialog, decision.blockers);
        return;
    case kNoticeLeftAside:
        // The list's name holds nothing: the user is told where the old
        // list is. The edits stay, to be saved again.
        ShowFormattedMessage(dialog, kTitleFailure, MB_OK, kClipListLeftAside, left);
        return;
    case kNoticeTheirsNoText: failure = kClipListTheirsNoText; break;
    case kNoticeInUse: failure = kClipListDiskUnreadable; break;
    case kNoticeFolder: failure = kClipListIsFolder; break;
    case kNoticeTooLarge: failure = kClipListGrewTooLarge; break;
    case kNoticeReadFailed: failure = kClipListDiskReadFailed; break;
    case kNoticeUtf16: failure = kClipListBecameUtf16; break;
    case kNoticeKeepsChanging: failure = kClipListKeepsChanging; break;
    default: break;  // the old file is intact
    }
    // Only OK can be answered; the editor stays open with the edits.
    ShowMessage(dialog, failure, kTitleFailure, MB_OK);
}

// The save: the file is read, and every question asked, as it is at that
// moment (RunListSave); the editor closes only once the list is written.
static void SaveAndClose(HWND dialog)
{
    ClipEditorState* state = StateOf(dialog);
    if (state->unread) {
        ShowMessage(dialog, kClipListNotSaved, kTitleFailure, MB_OK);
        return;
    }
    char path[kPathBytes];
    GetClipListPath(path);
    WCHAR left[MAX_PATH] = L"";  // a copy the save left behind
    ListSaveState save;
    StartListSave(&save);
    ListSaveDecision decision;
    RunListSave(&state->list, path, AskAboutSave, dialog, false, &save, &decision, left);
    // Once agreed, the list stays in UTF-8, also for a save tried again.
    if (save.utf8 && CodePageOf(state->list.encoding) == kCodePage932) {
        state->list.encoding = kEncodingUtf8Bom;
    }
    // A save that a "no" or "cancel" ended goes back to editing unsaid.
    const bool closes = decision.step == kStepSay && decision.closes;
    if (decision.step == kStepSay) ReportSave(dialog, decision, left);
    FreeListSaveDecision(&decision);
    if (closes) EndDialog(dialog, IDOK);
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
    const ClipEditList* list = &StateOf(dialog)->list;
    int selected = SelectedIndex(GetDlgItem(dialog, IDC_ED_LIST));
    if (selected < 0 || selected >= list->count) return;
    // The text the item reads as, terminated, as the entry rules take it.
    int length = 0;
    int codePage = 0;
    const char* bytes = ClipItemBytes(list, selected, &length, &codePage);
    length = ClipItemShownLength(list, selected);
    HeapText text;
    if (!text.Allocate((DWORD)length + 1)) return;
    memcpy(text.Bytes(), bytes, (size_t)length);

    char title[kTextSize];
    char message[kTextSize];
    SplitClipEntry(text.Bytes(), title, kTextSize, message, kTextSize, codePage);
    SetFieldText(dialog, IDC_ED_TITLE, title, codePage);
    SetFieldText(dialog, IDC_ED_MESSAGE, message, codePage);
}

static void OverwriteSelectedEntry(HWND dialog)
{
    ClipEditList* list = &StateOf(dialog)->list;
    HWND listBox = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(listBox);
    if (selected < 0 || selected >= list->count) return;
    char entry[kTextSize];
    int codePage = 0;
    if (!ComposeEntryFromFields(dialog, entry, &codePage)) return;
    // The new text goes in first and pushes the old one down; a list box
    // that cannot take it keeps the old entry, and so does the list.
    const int length = lstrlenA(entry);
    if (!ShowText(listBox, selected, entry, length, codePage)) return;
    if (!OverwriteClipEntry(list, selected, entry, length, codePage)) {
        SendMessageW(listBox, LB_DELETESTRING, selected, 0);  // the new text, not taken
        return;
    }
    SendMessageW(listBox, LB_DELETESTRING, selected + 1, 0);  // exists: the old text
}

// Inserts before the selected entry, or appends when none is selected.
static void AddOrInsertEntry(HWND dialog)
{
    ClipEditList* list = &StateOf(dialog)->list;
    char entry[kTextSize];
    int codePage = 0;
    if (!ComposeEntryFromFields(dialog, entry, &codePage)) return;
    HWND listBox = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(listBox);
    int at = selected >= 0 && selected < list->count ? selected : list->count;
    // A list that cannot take another item stays as it was.
    if (!InsertClipEntry(list, at, entry, lstrlenA(entry), codePage)) return;
    if (!ShowItem(listBox, list, at)) DeleteClipItem(list, at);
}

// Selects the entry that followed the deleted one, or the new last one.
static void DeleteSelectedEntry(HWND dialog)
{
    ClipEditList* list = &StateOf(dialog)->list;
    HWND listBox = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(listBox);
    if (!DeleteClipItem(list, selected)) return;
    SendMessageW(listBox, LB_DELETESTRING, selected, 0);
    if (list->count <= 0) return;
    SendMessageW(listBox, LB_SETCURSEL, selected < list->count ? selected : list->count - 1, 0);
}

// Moves item `at` (at least 1) one place up, in the list and then in the
// list box: its text goes in above the item before it, and the original
// goes. A list box that cannot take the copy gets the list moved back, so
// the two never part. True when moved.
static bool MoveItemUp(HWND dialog, int at)
{
    ClipEditList* list = &StateOf(dialog)->list;
    HWND listBox = GetDlgItem(dialog, IDC_ED_LIST);
    if (!MoveClipItemUp(list, at)) return false;
    if (!ShowItem(listBox, list, at - 1)) {
        MoveClipItemUp(list, at);  // back: the list box is as it was
        return false;
    }
    SendMessageW(listBox, LB_DELETESTRING, at + 1, 0);  // exists: the original
    return true;
}

static void MoveSelectedEntryUp(HWND dialog)
{
    int selected = SelectedIndex(GetDlgItem(dialog, IDC_ED_LIST));
    if (selected <= 0) return;
    if (MoveItemUp(dialog, selected)) {
        SendDlgItemMessageW(dialog, IDC_ED_LIST, LB_SETCURSEL, selected - 1, 0);
    }
}

// Moving the selected entry down is moving its successor up.
static void MoveSelectedEntryDown(HWND dialog)
{
    int selected = SelectedIndex(GetDlgItem(dialog, IDC_ED_LIST));
    if (selected < 0 || selected >= StateOf(dialog)->list.count - 1) return;
    if (MoveItemUp(dialog, selected + 1)) {
        SendDlgItemMessageW(dialog, IDC_ED_LIST, LB_SETCURSEL, selected + 1, 0);
    }
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

INT_PTR CALLBACK ClipEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartEditor(dialog, reinterpret_cast<ClipEditorState*>(lParam));
        return TRUE;  // focus on the first tab stop, the save button
    case WM_CLOSE:
        ConfirmClose(dialog);
        return TRUE;
    case WM_DESTROY:
        // The list goes with the dialog that shows it.
        if (StateOf(dialog)) FreeClipEditList(&StateOf(dialog)->list);
        return TRUE;
    case WM_APP_REPORT_LOAD:
        // A modal dialog shows itself only once its queue is empty; the
        // message is to stand over the editor, so it shows now.
        ShowWindow(dialog, SW_SHOW);
        if (StateOf(dialog)->loadMessage) {
            ShowMessage(dialog, StateOf(dialog)->loadMessage, kTitleFailure, MB_OK);
        }
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
