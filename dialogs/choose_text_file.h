#pragma once
#include <windows.h>

// The common file open dialog for a clip text file (*.txt, *.htm, *.html or
// all files). Returns TRUE and the chosen full path in path (room for
// MAX_PATH units) when the user chose a file; FALSE when cancelled or
// failed. The process's current folder stays where it was, so relative
// file references keep their meaning.
BOOL ChooseTextFile(HWND owner, WCHAR* path);
