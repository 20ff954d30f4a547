// The baseline for the main-window benchmark: the program's own main window
// template (the same resources, manifest included, linked in) shown empty
// by a dialog procedure that does nothing but close.
#include <windows.h>

#include "resource.h"

static INT_PTR CALLBACK Close(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL) return FALSE;
        EndDialog(dialog, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // -1 is the only failure DialogBoxParamW reports (the template or a
    // control class could not be made).
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), NULL, Close, 0) == -1 ? 1 : 0;
}
