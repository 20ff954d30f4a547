// open_editor [close]: for the user's guide screenshot. Opens the list
// editor from a running Quillan, selects the second entry, takes it up into
// the fields and prints the editor's screen rectangle as "WIDTHxHEIGHT+X+Y".
// "close" cancels the editor and closes the main window.
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

// The main window holds the drop-down 1000, the editor its slider 1022.
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
    if (argc == 2 && strcmp(argv[1], "close") == 0) {
        Search search = {IDC_ED_SLIDER, NULL};
        EnumWindows(FindDialogWithChild, (LPARAM)&search);
        if (search.found) PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
        Sleep(500);
        PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }

    PostMessageA(main, WM_COMMAND, IDC_EDIT_LIST, 0);
    HWND editor = WaitForDialog(IDC_ED_SLIDER);
    if (!editor) {
        printf("the editor did not open\n");
        return 1;
    }
    SendDlgItemMessageA(editor, IDC_ED_LIST, LB_SETCURSEL, 1, 0);
    SendMessageA(editor, WM_COMMAND, IDC_ED_EDIT, 0);
    Sleep(1000);  // let the dialog paint

    RECT frame;
    GetWindowRect(editor, &frame);
    printf("%ldx%ld+%ld+%ld\n", frame.right - frame.left, frame.bottom - frame.top, frame.left,
           frame.top);
    return 0;
}
