// DLLs of Windows that the library binds late, from the system folder only.
#pragma once
#include <windows.h>
#include <objbase.h>

// The version.dll functions the library uses.
struct VersionFunctions {
    BOOL(WINAPI* getFileVersionInfo)(const WCHAR* path, DWORD ignored, DWORD size, void* data);
    BOOL(WINAPI* verQueryValue)(const void* block, const WCHAR* subBlock, void** value,
                                UINT* length);
};

// Fills functions from version.dll of the system folder, loading it on the
// first call. False when it cannot be loaded or lacks one of them.
bool GetVersionFunctions(VersionFunctions* functions);

// CoCreateInstance of ole32 of the system folder: loaded only when a
// shortcut is made, not with the library. E_FAIL when it cannot be had.
HRESULT LateCoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID interfaceId,
                             void** object);
