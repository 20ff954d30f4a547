#include "dialog_field.h"

#include "bounded_text.h"

void ReadDialogField(HWND dialog, int id, char* text, int size)
{
    text[0] = '\0';
    int length = (int)SendDlgItemMessageA(dialog, id, WM_GETTEXT, size, (LPARAM)text);
    if (length < 0 || length >= size) length = 0;
    // Counting the terminator's place as a possible trail byte makes the cut
    // drop a lone lead byte at the end.
    text[CutLength932(text, length + 1, length)] = '\0';
}
