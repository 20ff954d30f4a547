#pragma once
#include <windows.h>

// The common file open dialog for a clip text file (*.txt, *.htm, *.html or
// all files). Returns TRUE and the chosen full path in path (room for 260
// bytes) when the user chose a file; FALSE when cancelled or failed.
BOOL ChooseTextFile(HWND owner, char* path);
