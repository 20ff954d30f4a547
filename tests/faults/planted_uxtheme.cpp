// A stand-in uxtheme.dll for the planted-DLL test: put beside the program,
// it notes in planted-uxtheme.txt (beside itself) which program loaded it.
// It offers no functions at all: what counts is that it is never loaded.
// It imports nothing but kernel32 (and msvcrt), so that its DllMain can
// run whenever the loader maps it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    WCHAR notes[MAX_PATH + 32];
    DWORD length = GetModuleFileNameW(self, notes, MAX_PATH);
    while (length > 0 && notes[length - 1] != L'\\') --length;
    lstrcpyW(notes + length, L"planted-uxtheme.txt");

    WCHAR program[MAX_PATH] = L"?";
    GetModuleFileNameW(NULL, program, MAX_PATH);
    char line[4 * MAX_PATH] = "loaded into ";
    int prefix = lstrlenA(line);
    int size = WideCharToMultiByte(CP_UTF8, 0, program, -1, line + prefix,
                                   (int)sizeof line - prefix - 2, NULL, NULL);
    if (size <= 0) size = 1;
    lstrcatA(line, "\r\n");
    HANDLE file = CreateFileW(notes, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)lstrlenA(line), &written, NULL);
    CloseHandle(file);
    return TRUE;
}
