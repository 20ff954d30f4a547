// The system functions that a one-click copy never needs (the common file
// dialog, the shell's folders, COM), bound on first use and only from the
// system folder (load_system_library.h). Binding them late keeps them out of
// the program's start.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <objbase.h>

// Each behaves as the system function of the same name; when the function
// cannot be had, it fails as that function fails (FALSE, E_FAIL).
BOOL LateGetOpenFileNameW(OPENFILENAMEW* request);
HRESULT LateSHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, WCHAR* path);
HRESULT LateCoInitialize();
HRESULT LateCoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID wanted,
                             void** object);
void LateCoUninitialize();
