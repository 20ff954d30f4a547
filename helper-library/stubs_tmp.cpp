// Temporary: the exports that are not written yet.
#include "Morvask.h"

char m_ModuleName[12] = "Morvask.dll";

void WINAPI MRVK0_Beep(WORD) {}
HRESULT WINAPI MRVK0_CreateShortCut(const char*, const char*, const char*, const char*) { return E_NOTIMPL; }
int WINAPI MRVK0_GetFileVersionString(const char*, const char*, char*) { return -1; }
int WINAPI MRVK0_GetModuleName(char*) { return 0; }
int WINAPI MRVK0_GetSplitItem(int, int, char*) { return -1; }
int WINAPI MRVK0_GetVersionNum(int) { return -1; }
int WINAPI MRVK0_GetVersionString(char*) { return 0; }
WindowPands WINAPI MRVK0_GetWindowPands(HWND) { WindowPands p = {0, 0, 0, 0}; return p; }
int WINAPI MRVK0_SplitPath(const char*) { return 0; }
