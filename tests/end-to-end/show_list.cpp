// Screenshot helper: waits for Quillan's main window, drops its list down
// with the first entry selected, and prints the screen rectangle that holds
// the window and the dropped list ("x y width height").
//   show_list.exe [seconds to wait]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "resource.h"

static BOOL CALLBACK FindMain(HWND window, LPARAM lParam)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0 &&
        GetDlgItem(window, IDC_CLIP_COMBO)) {
        *(HWND*)lParam = window;
        return FALSE;
    }
    return TRUE;
}

int main(int argc, char** argv)
{
    int seconds = argc > 1 ? atoi(argv[1]) : 20;
    HWND main = NULL;
    for (int i = 0; i < seconds * 10 && !main; ++i) {
        EnumWindows(FindMain, (LPARAM)&main);
        if (!main) Sleep(100);
    }
    if (!main) {
        fprintf(stderr, "show_list: no Quillan window\n");
        return 1;
    }
    HWND combo = GetDlgItem(main, IDC_CLIP_COMBO);
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Sleep(500);

    RECT window, list;
    GetWindowRect(main, &window);
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&list);
    UnionRect(&window, &window, &list);
    printf("%ld %ld %ld %ld\n", window.left, window.top, window.right - window.left,
           window.bottom - window.top);
    return 0;
}
