// TEMPORARY local stub until the library branch lands. Not committed.
#include "Morvask.h"
#include <objbase.h>
#include <shlobj.h>
#include <winver.h>
int WINAPI MRVK0_FolderExistW(const WCHAR* path)
{
    DWORD a = GetFileAttributesW(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}
long long WINAPI MRVK0_GetFileSizeW(const WCHAR* path)
{
    DWORD a = GetFileAttributesW(path);
    if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    HANDLE f = CreateFileW(path, 0, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER s; s.QuadPart = 0;
    if (!GetFileSizeEx(f, &s)) s.QuadPart = 0;
    CloseHandle(f);
    return s.QuadPart;
}
int WINAPI MRVK0_ReadTextToBufferW(const WCHAR* path, char* buffer, int capacity)
{
    long long size = MRVK0_GetFileSizeW(path);
    if (size >= 0x80000000LL || capacity < 0 || capacity < size) return 0;
    HANDLE f = CreateFileW(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return 0;
    DWORD got = 0;
    if (!ReadFile(f, buffer, (DWORD)capacity, &got, NULL)) got = 0;
    CloseHandle(f);
    return (int)got;
}
int WINAPI MRVK0_GetFileVersionStringW(const WCHAR* path, const char* lang, WCHAR* out)
{
    char a[MAX_PATH], label[128];
    WideCharToMultiByte(CP_ACP, 0, path, -1, a, MAX_PATH, NULL, NULL);
    if (MRVK0_GetFileVersionString(a, lang, label) != 0) return -1;
    MultiByteToWideChar(CP_ACP, 0, label, -1, out, 128);
    return 0;
}
HRESULT WINAPI MRVK0_CreateShortCutW(const WCHAR* link, const WCHAR* target, const WCHAR* args, const WCHAR* workDir)
{
    IShellLinkW* l = NULL; IPersistFile* p = NULL;
    HRESULT r = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&l);
    if (FAILED(r)) return r;
    r = l->QueryInterface(IID_IPersistFile, (void**)&p);
    if (SUCCEEDED(r)) r = l->SetPath(target);
    if (SUCCEEDED(r)) r = l->SetArguments(args);
    if (SUCCEEDED(r)) r = l->SetWorkingDirectory(workDir);
    if (SUCCEEDED(r)) r = p->Save(link, TRUE);
    if (p) p->Release();
    l->Release();
    return r;
}
