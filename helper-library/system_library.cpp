// The DLLs of Windows that the library binds late, on first use, from the
// system folder only (load_system_library.h): version.dll, which is no
// known DLL, and ole32, which a one-click start does not need.
#include "system_library.h"

#include "load_system_library.h"

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

HRESULT LateCoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID interfaceId,
                             void** object)
{
    typedef HRESULT(WINAPI * Function)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    static Function s_function = NULL;
    if (s_function == NULL) {
        HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
        if (ole32 != NULL) s_function = (Function)(void*)GetProcAddress(ole32, "CoCreateInstance");
    }
    *object = NULL;
    return s_function != NULL ? s_function(type, outer, context, interfaceId, object) : E_FAIL;
}
