// A stand-in version.dll for the planted-DLL test: put beside the program,
// it notes in planted-version.txt (beside itself) that it was loaded, which
// loaded modules import it, and who calls its functions. The functions
// themselves only fail. It imports nothing but kernel32 (and the C
// runtime's msvcrt): user32 imports version.dll under Wine, and a cycle
// would run this DllMain before user32 is ready.
#include <windows.h>
#include <psapi.h>

// Appends one line to the notes, as ANSI text.
static void Note(const WCHAR* what, const WCHAR* module)
{
    static WCHAR notes[MAX_PATH + 32] = L"";
    if (notes[0] == L'\0') {
        HMODULE self = NULL;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCWSTR)(void*)&Note, &self);
        DWORD length = GetModuleFileNameW(self, notes, MAX_PATH);
        while (length > 0 && notes[length - 1] != L'\\') --length;
        lstrcpyW(notes + length, L"planted-version.txt");
    }
    WCHAR line[2 * MAX_PATH];
    lstrcpyW(line, what);
    lstrcatW(line, L" ");
    lstrcatW(line, module);
    lstrcatW(line, L"\r\n");
    char bytes[4 * MAX_PATH];
    int size = WideCharToMultiByte(CP_ACP, 0, line, -1, bytes, sizeof bytes, NULL, NULL);
    HANDLE file = CreateFileW(notes, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes, size > 0 ? size - 1 : 0, &written, NULL);
    CloseHandle(file);
}

static void NoteModule(const WCHAR* what, HMODULE module)
{
    WCHAR path[MAX_PATH] = L"?";
    GetModuleFileNameW(module, path, MAX_PATH);
    Note(what, path);
}

// True when a loaded module's import table names version.dll.
static bool ImportsVersion(HMODULE module)
{
    BYTE* base = (BYTE*)module;
    IMAGE_NT_HEADERS* headers = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY directory =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return false;
    for (IMAGE_IMPORT_DESCRIPTOR* import = (IMAGE_IMPORT_DESCRIPTOR*)(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (lstrcmpiA((const char*)(base + import->Name), "version.dll") == 0) return true;
    }
    return false;
}

// Notes the module that made the call at `returnAddress`.
static void NoteCaller(const WCHAR* function, void* returnAddress)
{
    HMODULE caller = NULL;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCWSTR)returnAddress, &caller);
    WCHAR what[64];
    lstrcpyW(what, function);
    lstrcatW(what, L" called from");
    NoteModule(what, caller);
}

#define CALLED(name) NoteCaller(name, __builtin_return_address(0))

extern "C" {
BOOL WINAPI GetFileVersionInfoA(const char*, DWORD, DWORD, void*)
{
    CALLED(L"GetFileVersionInfoA");
    return FALSE;
}
BOOL WINAPI GetFileVersionInfoW(const WCHAR*, DWORD, DWORD, void*)
{
    CALLED(L"GetFileVersionInfoW");
    return FALSE;
}
DWORD WINAPI GetFileVersionInfoSizeA(const char*, DWORD*)
{
    CALLED(L"GetFileVersionInfoSizeA");
    return 0;
}
DWORD WINAPI GetFileVersionInfoSizeW(const WCHAR*, DWORD*)
{
    CALLED(L"GetFileVersionInfoSizeW");
    return 0;
}
BOOL WINAPI VerQueryValueA(const void*, const char*, void**, UINT*)
{
    CALLED(L"VerQueryValueA");
    return FALSE;
}
BOOL WINAPI VerQueryValueW(const void*, const WCHAR*, void**, UINT*)
{
    CALLED(L"VerQueryValueW");
    return FALSE;
}
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    NoteModule(L"loaded into", NULL);
    // Every module is mapped and bound before the first DllMain runs, so
    // all that import this copy are in the process now.
    HMODULE modules[512];
    DWORD bytes = 0;
    if (EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes)) {
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
            if (modules[i] != self && ImportsVersion(modules[i])) NoteModule(L"imported by", modules[i]);
        }
    }
    return TRUE;
}
