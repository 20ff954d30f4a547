// Placeholder until the editor lands.
#include "clip_editor.h"

INT_PTR CALLBACK ClipEditorDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
