// Loading a DLL of Windows from the system folder only. Shared by both
// deliverables: each binds late what its start does not need.
#pragma once
#include <windows.h>

// Loads fileName (such as L"version.dll") from the system folder only, or
// gives NULL.
HMODULE LoadSystemLibrary(const WCHAR* fileName);
