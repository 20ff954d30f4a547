// open_from_main ENTRY | close: for the user's guide screenshot. Types
// ENTRY into the field of a running Quillan, presses its shortcut button,
// ticks /g and /e in the dialog that opens, and prints the dialog's screen
// rectangle as "WIDTHxHEIGHT+X+Y". "close" closes both windows again.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "resource.h"

struct Search {
    int childId;
    HWND found;
};

static BOOL CALLBACK FindDialogWithChild(HWND window, LPARAM lParam)
{
    Search* search = (Search*)lParam;
    char className[16];
    if (GetClassNameA(window, className, sizeof className) && strcmp(className, "#32770") == 0 &&
        IsWindowVisible(window) && GetDlgItem(window, search->childId)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The main window holds the drop-down 1000, the shortcut dialog field 1025.
static HWND WaitForDialog(int childId)
{
    for (int i = 0; i < 500; ++i) {
        Search search = {childId, NULL};
        EnumWindows(FindDialogWithChild, (LPARAM)&search);
        if (search.found) return search.found;
        Sleep(20);
    }
    return NULL;
}

int main(int argc, char** argv)
{
    HWND main = WaitForDialog(IDC_CLIP_COMBO);
    if (!main) {
        printf("no Quillan main window\n");
        return 1;
    }
    if (argc != 2) {
        printf("usage: open_from_main ENTRY | close\n");
        return 2;
    }
    if (strcmp(argv[1], "close") == 0) {
        Search search = {IDC_SC_FOLDER, NULL};
        EnumWindows(FindDialogWithChild, (LPARAM)&search);
        if (search.found) PostMessageA(search.found, WM_CLOSE, 0, 0);
        Sleep(500);
        PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }

    SetDlgItemTextA(main, IDC_CLIP_COMBO, argv[1]);
    PostMessageA(main, WM_COMMAND, IDC_MAKE_SHORTCUT, 0);
    HWND shortcut = WaitForDialog(IDC_SC_FOLDER);
    if (!shortcut) {
        printf("the shortcut dialog did not open\n");
        return 1;
    }
    SendDlgItemMessageA(shortcut, IDC_SC_AUTO_START, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(shortcut, IDC_SC_AUTO_EXIT, BM_SETCHECK, BST_CHECKED, 0);
    Sleep(1000);  // let the dialog paint

    RECT frame;
    GetWindowRect(shortcut, &frame);
    printf("%ldx%ld+%ld+%ld\n", frame.right - frame.left, frame.bottom - frame.top, frame.left,
           frame.top);
    return 0;
}
