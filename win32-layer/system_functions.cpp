#include "system_functions.h"

#include "load_system_library.h"

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

HRESULT LateCoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID wanted,
                             void** object)
{
    typedef HRESULT(WINAPI * Function)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    static Function function;
    if (!function) function = (Function)(void*)Bind(&m_Ole32, L"ole32.dll", "CoCreateInstance");
    *object = NULL;
    return function ? function(type, outer, context, wanted, object) : E_FAIL;
}

void LateCoUninitialize()
{
    typedef void(WINAPI * Function)(void);
    static Function function;
    if (!function) function = (Function)(void*)Bind(&m_Ole32, L"ole32.dll", "CoUninitialize");
    if (function) function();
}
