// screenshot_helper list | editor | shortcut ENTRY | close
// For scripts/screenshot.sh: drives a running Quillan into the state a
// picture shows and prints the screen rectangle to take as
// "WIDTHxHEIGHT+X+Y".
//   list      drops the main window's list down with the first entry
//             selected; the rectangle holds the window, the list and a margin
//   editor    opens the list editor, selects the second entry and takes it
//             up into the fields
//   shortcut  types ENTRY into the main window's field, presses its shortcut
//             button and ticks /g and /e in the dialog that opens
//   close     cancels an open editor or shortcut dialog and closes the main
//             window
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "resource.h"
#include "test_support.h"

// Generous: the first window of a fresh Wine prefix can be slow.
const int kWait = 20000;
const int kListMargin = 12;

static void PrintRectangle(RECT frame)
{
    printf("%ldx%ld+%ld+%ld\n", frame.right - frame.left, frame.bottom - frame.top, frame.left,
           frame.top);
}

static int ShowList(HWND main)
{
    // Dropped too early, the list closes again when the new window takes
    // the focus.
    Sleep(1000);
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Sleep(500);  // let the list paint
    RECT frame, list;
    GetWindowRect(main, &frame);
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&list);
    UnionRect(&frame, &frame, &list);
    InflateRect(&frame, kListMargin, kListMargin);
    PrintRectangle(frame);
    return 0;
}

static int ShowEditor(HWND main)
{
    PostMessageA(main, WM_COMMAND, IDC_EDIT_LIST, 0);
    HWND editor = WaitForDialog(0, NULL, IDC_ED_SLIDER, kWait);
    if (!editor) {
        printf("the editor did not open\n");
        return 1;
    }
    SendDlgItemMessageA(editor, IDC_ED_LIST, LB_SETCURSEL, 1, 0);
    SendMessageA(editor, WM_COMMAND, IDC_ED_EDIT, 0);
    Sleep(1000);  // let the dialog paint
    RECT frame;
    GetWindowRect(editor, &frame);
    PrintRectangle(frame);
    return 0;
}

static int ShowShortcut(HWND main, const char* entry)
{
    SetDlgItemTextA(main, IDC_CLIP_COMBO, entry);
    PostMessageA(main, WM_COMMAND, IDC_MAKE_SHORTCUT, 0);
    HWND shortcut = WaitForDialog(0, NULL, IDC_SC_FOLDER, kWait);
    if (!shortcut) {
        printf("the shortcut dialog did not open\n");
        return 1;
    }
    SendDlgItemMessageA(shortcut, IDC_SC_AUTO_START, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(shortcut, IDC_SC_AUTO_EXIT, BM_SETCHECK, BST_CHECKED, 0);
    Sleep(1000);  // let the dialog paint
    RECT frame;
    GetWindowRect(shortcut, &frame);
    PrintRectangle(frame);
    return 0;
}

static int CloseAll(HWND main)
{
    // Cancel ends either nested dialog without a question.
    for (int child : {IDC_ED_SLIDER, IDC_SC_FOLDER}) {
        HWND nested = FindDialog(0, NULL, child, false);
        if (nested) PostMessageA(nested, WM_COMMAND, IDCANCEL, 0);
    }
    Sleep(500);
    PostMessageA(main, WM_CLOSE, 0, 0);
    return 0;
}

int main(int argc, char** argv)
{
    HWND main = WaitForDialog(0, NULL, IDC_CLIP_COMBO, kWait);
    if (!main) {
        printf("no Quillan main window\n");
        return 1;
    }
    const char* command = argc > 1 ? argv[1] : "";
    if (strcmp(command, "list") == 0 && argc == 2) return ShowList(main);
    if (strcmp(command, "editor") == 0 && argc == 2) return ShowEditor(main);
    if (strcmp(command, "shortcut") == 0 && argc == 3) return ShowShortcut(main, argv[2]);
    if (strcmp(command, "close") == 0 && argc == 2) return CloseAll(main);
    printf("usage: screenshot_helper list | editor | shortcut ENTRY | close\n");
    return 2;
}
