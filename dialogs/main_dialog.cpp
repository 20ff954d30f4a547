// Placeholder until the main dialog lands.
#include "main_dialog.h"

INT_PTR CALLBACK MainDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
