#include "system_functions.h"

#include <string.h>

HMODULE LoadSystemLibrary(const WCHAR* name)
{
    // Search the system folder alone. Systems before the flag was known
    // (Windows 7 without its loader update) refuse it as an invalid
    // parameter; there the full path does the same.
    HMODULE module = LoadLibraryExW(name, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;

    WCHAR path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    size_t nameLength = wcslen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return NULL;
    path[length] = L'\\';
    memcpy(path + length + 1, name, (nameLength + 1) * sizeof(WCHAR));
    // A full path is loaded from there only; the flag keeps the DLL's own
    // imports to the same folder and the known DLLs.
    return LoadLibraryExW(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The address of a function of a system DLL, looked up once. The DLL stays
// loaded for the rest of the run, as an imported one would.
static FARPROC Bind(HMODULE* module, const WCHAR* library, const char* function)
{
    if (!*module) *module = LoadSystemLibrary(library);
    return *module ? GetProcAddress(*module, function) : NULL;
}

static HMODULE m_Comdlg32;
static HMODULE m_Shell32;
static HMODULE m_Ole32;

BOOL LateGetOpenFileNameW(OPENFILENAMEW* request)
{
    typedef BOOL(WINAPI * Function)(OPENFILENAMEW*);
    static Function function;
    if (!function) function = (Function)(void*)Bind(&m_Comdlg32, L"comdlg32.dll", "GetOpenFileNameW");
    return function ? function(request) : FALSE;
}

HRESULT LateSHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, WCHAR* path)
{
    typedef HRESULT(WINAPI * Function)(HWND, int, HANDLE, DWORD, WCHAR*);
    static Function function;
    if (!function) function = (Function)(void*)Bind(&m_Shell32, L"shell32.dll", "SHGetFolderPathW");
    path[0] = L'\0';
    return function ? function(owner, folder, token, flags, path) : E_FAIL;
}

HRESULT LateCoInitialize()
{
    typedef HRESULT(WINAPI * Function)(LPVOID);
    static Function function;
    if (!function) function = (Function)(void*)Bind(&m_Ole32, L"ole32.dll", "CoInitialize");
    return function ? function(NULL) : E_FAIL;
}

void LateCoUninitialize()
{
    typedef void(WINAPI * Function)(void);
    static Function function;
    if (!function) function = (Function)(void*)Bind(&m_Ole32, L"ole32.dll", "CoUninitialize");
    if (function) function();
}
