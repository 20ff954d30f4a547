// DLLs of Windows that the library binds late, from the system folder only.
#pragma once
#include <windows.h>

// The version.dll functions the library uses.
struct VersionFunctions {
    BOOL(WINAPI* getFileVersionInfo)(const WCHAR* path, DWORD ignored, DWORD size, void* data);
    BOOL(WINAPI* verQueryValue)(const void* block, const WCHAR* subBlock, void** value,
                                UINT* length);
};

// Fills functions from version.dll of the system folder, loading it on the
// first call. False when it cannot be loaded or lacks one of them.
bool GetVersionFunctions(VersionFunctions* functions);
