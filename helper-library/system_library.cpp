// Loading a DLL of Windows so that no copy planted elsewhere can take its
// place.
//
// The loader looks for a DLL named without a path in the program's folder
// before the system folder, unless the name is one of the system's known
// DLLs (kernel32, user32, ole32, msvcrt and the like, always mapped from the
// system folder). version.dll is not among them: imported at load time, a
// version.dll put beside the program that loads this library would run its
// code in the user's process. So the library imports only known DLLs and
// binds version.dll here, on first use, by its full path in the system
// folder.
#include "system_library.h"

// Loads fileName from the system folder only, or gives NULL.
static HMODULE LoadSystemLibrary(const WCHAR* fileName)
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

bool GetVersionFunctions(VersionFunctions* functions)
{
    // Loaded once and kept for the life of the process: freeing it when
    // this library is unloaded would mean calling FreeLibrary from DllMain,
    // which the loader does not allow for. Two threads that race here load
    // the same module twice, which only counts one more reference.
    static HMODULE s_version = NULL;
    if (s_version == NULL) s_version = LoadSystemLibrary(L"version.dll");
    if (s_version == NULL) return false;

    functions->getFileVersionInfo = (BOOL(WINAPI*)(const WCHAR*, DWORD, DWORD, void*))(
        void*)GetProcAddress(s_version, "GetFileVersionInfoW");
    functions->verQueryValue = (BOOL(WINAPI*)(const void*, const WCHAR*, void**, UINT*))(
        void*)GetProcAddress(s_version, "VerQueryValueW");
    return functions->getFileVersionInfo != NULL && functions->verQueryValue != NULL;
}
