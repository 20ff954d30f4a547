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
#include "messages.h"
#include "resource.h"

enum {
    kSliderMax = 100,  // at most 1000 pixels taller than the template
    kSliderStep = 10,  // pixels of height per slider step
};

static bool InsertFailed(LRESULT result)
{
    return result == LB_ERR || result == LB_ERRSPACE;
}

// The entry that the title and message fields give, in a 1024-byte buffer.
// False when the message is empty: the commands that compose then do
// nothing, whatever the title holds.
static bool ComposeEntryFromFields(HWND dialog, char* entry)
{
    char title[kTextSize];
    char message[kTextSize];
    ReadDialogField(dialog, IDC_ED_TITLE, title, kTextSize);
    ReadDialogField(dialog, IDC_ED_MESSAGE, message, kTextSize);
    return ComposeClipEntry(title, message, entry) != 0;
}

static int SelectedIndex(HWND list)
{
    return (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
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
    HANDLE icon = LoadImageA(m_hInstance, MAKEINTRESOURCEA(IDI_QUILLAN), IMAGE_ICON, 0, 0,
                             LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);

    char path[kTextSize];
    GetClipListPath(path);
    // A missing or unreadable file simply leaves the list empty.
    LoadClipList(list, path, kListBox);

    // The slider (class msctls_trackbar32) exists because the manifest's
    // common controls 6 dependency registers the class when the template
    // uses it; the program never calls the common controls itself.
    SendDlgItemMessageA(dialog, IDC_ED_SLIDER, TBM_SETRANGEMIN, TRUE, 0);
    SendDlgItemMessageA(dialog, IDC_ED_SLIDER, TBM_SETRANGEMAX, TRUE, kSliderMax);
    // Every opening starts with the slider at 0 and the template sizes, so
    // the remembered position starts again at 0 as well. Kept from an
    // earlier opening, it would make a move back to that old position
    // resize nothing.
    m_SliderPos = 0;
}

static void SaveAndClose(HWND dialog)
{
    char path[kTextSize];
    GetClipListPath(path);
    if (SaveClipList(GetDlgItem(dialog, IDC_ED_LIST), path) == kSaveFailed) {
        // The old file is intact; staying open keeps the user's edits, to
        // save again or to drop by cancelling. Only OK can be answered.
        MessageBoxA(dialog, kClipListSaveFailed, kTitleFailure, MB_OK | MB_ICONQUESTION);
        return;
    }
    // Saved, or an empty list that leaves the file as it was.
    EndDialog(dialog, IDOK);
}

static void ConfirmClose(HWND dialog)
{
    if (MessageBoxA(dialog, kEditorCloseQuestion, kTitleConfirm, MB_YESNO | MB_ICONQUESTION)
        == IDYES) {
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
    ListItemText item;
    if (!ReadListItem(list, selected, &item)) return;

    char title[kTextSize];
    char message[kTextSize];
    SplitClipEntry(item.Text(), title, kTextSize, message, kTextSize);
    SetDlgItemTextA(dialog, IDC_ED_TITLE, title);
    SetDlgItemTextA(dialog, IDC_ED_MESSAGE, message);
}

static void OverwriteSelectedEntry(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    if (selected < 0) return;
    char entry[kTextSize];
    if (!ComposeEntryFromFields(dialog, entry)) return;

    // The new text goes in first and pushes the old one down; a list that
    // cannot take it keeps the old entry.
    if (InsertFailed(SendMessageA(list, LB_INSERTSTRING, selected, (LPARAM)entry))) return;
    SendMessageA(list, LB_DELETESTRING, selected + 1, 0);  // exists: the old entry
}

// Inserts before the selected entry, or appends when none is selected.
static void AddOrInsertEntry(HWND dialog)
{
    char entry[kTextSize];
    if (!ComposeEntryFromFields(dialog, entry)) return;
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    // A list that cannot take another item stays as it was: nothing to undo.
    if (selected >= 0) {
        SendMessageA(list, LB_INSERTSTRING, selected, (LPARAM)entry);
    } else {
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)entry);
    }
}

// Selects the entry that followed the deleted one, or the new last one.
static void DeleteSelectedEntry(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    if (selected < 0) return;
    SendMessageA(list, LB_DELETESTRING, selected, 0);
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    SendMessageA(list, LB_SETCURSEL, selected < count ? selected : count - 1, 0);
}

// Moves item `index` (at least 1) one place up: a copy goes in above it
// before the original goes, so a list that cannot take the copy loses
// nothing. True when moved.
static bool MoveItemUp(HWND list, int index)
{
    ListItemText item;
    if (!ReadListItem(list, index, &item)) return false;
    if (InsertFailed(SendMessageA(list, LB_INSERTSTRING, index - 1, (LPARAM)item.Text()))) {
        return false;
    }
    SendMessageA(list, LB_DELETESTRING, index + 1, 0);  // exists: the original
    return true;
}

static void MoveSelectedEntryUp(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int selected = SelectedIndex(list);
    if (selected <= 0) return;
    if (MoveItemUp(list, selected)) SendMessageA(list, LB_SETCURSEL, selected - 1, 0);
}

// Moving the selected entry down is moving its successor up.
static void MoveSelectedEntryDown(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_ED_LIST);
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    int selected = SelectedIndex(list);
    if (selected < 0 || selected >= count - 1) return;
    if (MoveItemUp(list, selected + 1)) SendMessageA(list, LB_SETCURSEL, selected + 1, 0);
}

// Puts "/f=" and the chosen path, unquoted, into the message field; the
// title stays. A later add or overwrite composes the quoted reference.
static void BrowseForTextFile(HWND dialog)
{
    char path[kPathSize];
    if (!ChooseTextFile(dialog, path)) return;
    char message[kTextSize];
    // "/f=" and a path of at most 259 bytes fit into 1024 bytes.
    wsprintfA(message, "/f=%s", path);
    SetDlgItemTextA(dialog, IDC_ED_MESSAGE, message);
}

// Makes the dialog and the list kSliderStep pixels taller than at the start
// per slider step. Their top-left corners and widths stay; nothing else
// moves.
static void ResizeToSlider(HWND dialog)
{
    int position = (int)SendDlgItemMessageA(dialog, IDC_ED_SLIDER, TBM_GETPOS, 0, 0);
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
