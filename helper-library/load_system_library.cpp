// Loading a DLL of Windows so that no copy planted elsewhere can take its
// place.
//
// The loader looks for a DLL named without a path in the program's folder
// before the system folder, unless the name is one of the system's known
// DLLs (kernel32, user32, ole32, msvcrt and the like, always mapped from the
// system folder). A DLL that is not among them, imported at load time or
// loaded by its bare name, could be a copy put beside the program that runs
// its code in the user's process. So whatever is not a known DLL, or is not
// needed at start, is loaded here, by its full path in the system folder.
#include "load_system_library.h"

// Loads fileName from the system folder only, or gives NULL.
HMODULE LoadSystemLibrary(const WCHAR* fileName)
{
    // The full path rather than the bare name even though the search would
    // be limited to the system folder: for a bare name the loader hands out
    // any module of that name already in the process, wherever it came from
    // (a planted copy that something else imported, say).
    WCHAR path[MAX_PATH];
    UINT folderLength = GetSystemDirectoryW(path, MAX_PATH);
    int nameLength = lstrlenW(fileName);
    if (folderLength == 0 || folderLength + 1 + nameLength >= MAX_PATH) return NULL;
    path[folderLength] = L'\\';
    CopyMemory(path + folderLength + 1, fileName, (nameLength + 1) * sizeof(WCHAR));

    // The DLL's own imports searched in the system folder only, too.
    HMODULE module = LoadLibraryExW(path, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != NULL || GetLastError() != ERROR_INVALID_PARAMETER) return module;

    // A system without the search flags (Windows 7 or older without its
    // loader update) rejects them as an invalid parameter. The full path
    // still names the system's file; the altered search path looks for its
    // imports in that folder first rather than in the program's.
    return LoadLibraryExW(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

