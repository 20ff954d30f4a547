// Morvask.dll: general helpers for Quillan (path splitting, files, movable
// global memory, version strings, window geometry, shortcut creation).
// Every function is __stdcall and exported under its plain name. The ANSI
// functions take texts in the ANSI code page; their W forms take UTF-16
// paths of any length the system accepts.
#pragma once
#include <windows.h>

// The library's own build exports through Morvask.def (plain names, fixed
// ordinals), so it needs no dllexport here.
#ifdef MORVASK_BUILD
#define MORVASK_API extern "C"
#else
#define MORVASK_API extern "C" __declspec(dllimport)
#endif

struct WindowPands {
    int x, y, width, height;
};

MORVASK_API void        WINAPI MRVK0_Beep(WORD count);
MORVASK_API HRESULT     WINAPI MRVK0_CreateShortCut(const char* link, const char* target,
                                                    const char* args, const char* workDir);
MORVASK_API int         WINAPI MRVK0_FolderExist(const char* path);
MORVASK_API long long   WINAPI MRVK0_GetFileSize(const char* path);
MORVASK_API int         WINAPI MRVK0_GetFileVersionString(const char* path,
                                                          const char* langCodePage, char* out);
MORVASK_API int         WINAPI MRVK0_GetGlobalMemory(HGLOBAL* block, void** pointer, DWORD bytes);
MORVASK_API int         WINAPI MRVK0_GetModuleName(char* out);
MORVASK_API int         WINAPI MRVK0_GetSplitItem(int handle, int item, char* out);
MORVASK_API int         WINAPI MRVK0_GetVersionNum(int index);
MORVASK_API int         WINAPI MRVK0_GetVersionString(char* out);
MORVASK_API WindowPands WINAPI MRVK0_GetWindowPands(HWND window);
MORVASK_API int         WINAPI MRVK0_ReadTextToBuffer(const char* path, char* buffer, int capacity);
MORVASK_API int         WINAPI MRVK0_SplitPath(const char* path);
MORVASK_API char m_ModuleName[];   // "Morvask.dll"

MORVASK_API HRESULT     WINAPI MRVK0_CreateShortCutW(const WCHAR* link, const WCHAR* target,
                                                     const WCHAR* args, const WCHAR* workDir);
MORVASK_API int         WINAPI MRVK0_FolderExistW(const WCHAR* path);
// The whole 64-bit size; the ANSI form gives its low 32 bits only.
MORVASK_API long long   WINAPI MRVK0_GetFileSizeW(const WCHAR* path);
// out has room for 128 WCHARs: the label is at most 127 and a terminator.
MORVASK_API int         WINAPI MRVK0_GetFileVersionStringW(const WCHAR* path,
                                                           const char* langCodePage, WCHAR* out);
// Refuses a file of 2 GiB or more by its whole size. Unlike the ANSI form,
// which opens the file exclusively, it shares it with other readers (but
// not with writers).
MORVASK_API int         WINAPI MRVK0_ReadTextToBufferW(const WCHAR* path, char* buffer,
                                                       int capacity);
